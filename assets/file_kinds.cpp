#include "assets/file_kinds.h"

#include <cstring>

namespace valley {

FileKinds fileKindsOf(const char* name) {
    return FileKinds{std::strstr(name, ".bmp") != nullptr, std::strstr(name, ".dds") != nullptr,
                     std::strstr(name, ".dae") != nullptr};
}

} // namespace valley
