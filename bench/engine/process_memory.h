// This process's memory as the kernel reports it, in kibibytes.
#pragma once

#include <fstream>
#include <string>

struct ProcessMemory {
    long peakKib;     // VmHWM: the most resident memory so far
    long residentKib; // VmRSS: resident now
};

inline ProcessMemory readProcessMemory() {
    ProcessMemory memory = {0, 0};
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> memory.peakKib;
        } else if (key == "VmRSS:") {
            status >> memory.residentKib;
        }
    }
    return memory;
}
