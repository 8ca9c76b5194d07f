// The shader text reader on arbitrary bytes: every line ends with a line feed, so the text comes
// back with one line feed added, whatever the bytes are.
#include "fuzz/fuzz_check.h"
#include "render/shader_program.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace valley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string text = shaderTextFrom(data, size);
    require(text == input + "\n", "the text comes back with one line feed added");
    return 0;
}
