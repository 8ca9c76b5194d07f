// The shader text reader on arbitrary bytes. Reading line by line and ending every line with a
// line feed gives back the text with one line feed added, whatever the bytes are.
#include "fuzz/fuzz_check.h"
#include "render/shader_program.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

using namespace valley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream stream(input);
    const std::string text = shaderTextFrom(stream);
    require(text == input + "\n", "the text comes back with one line feed added");
    return 0;
}
