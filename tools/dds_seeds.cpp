// valley_dds_seeds OUTDIR: writes the DDS samples (tools/dds_samples.h) into OUTDIR, the seeds
// of the DDS fuzz target (scripts/fuzz.sh).
#include "tools/dds_samples.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    try {
        std::vector<vgen::GeneratedFile> files;
        for (const vgen::DdsSample& sample : vgen::ddsSamples()) {
            files.push_back(sample.file);
        }
        vgen::writeAll(argv[1], files);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "valley_dds_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
