#include "platform/browser_keys.h"

#include "platform/keys.h"

#include <cstdlib>
#include <cstring>

namespace valley {

namespace {

struct NamedKey {
    const char* code;
    int key;
};

const NamedKey namedKeys[] = {
    {"Space", keySpace},
    {"Escape", keyEscape},
    {"Enter", keyEnter},
    {"ArrowUp", keyUp},
    {"ArrowDown", keyDown},
    {"ArrowLeft", keyLeft},
    {"ArrowRight", keyRight},
    {"ShiftLeft", keyLeftShift},
    {"ShiftRight", keyRightShift},
    {"ControlLeft", keyLeftControl},
    {"ControlRight", keyRightControl},
    {"AltLeft", keyLeftAlt},
    {"AltRight", keyRightAlt},
};

bool startsWith(const char* text, const char* start) {
    return std::strncmp(text, start, std::strlen(start)) == 0;
}

} // namespace

int browserKey(const char* code) {
    if (code == nullptr) {
        return 0;
    }
    const size_t length = std::strlen(code);
    if (length == 4 && startsWith(code, "Key") && code[3] >= 'A' && code[3] <= 'Z') {
        return code[3];
    }
    if (length == 6 && startsWith(code, "Digit") && code[5] >= '0' && code[5] <= '9') {
        return code[5];
    }
    const bool digits = length >= 2 && length <= 3 && code[1] >= '1' && code[1] <= '9' &&
                        (length == 2 || (code[2] >= '0' && code[2] <= '9'));
    if (code[0] == 'F' && digits) {
        const int number = std::atoi(code + 1);
        return number <= 12 ? keyF1 + number - 1 : 0;
    }
    for (const NamedKey& named : namedKeys) {
        if (std::strcmp(code, named.code) == 0) {
            return named.key;
        }
    }
    return 0;
}

bool browserKeyDefaultKept(int key) { return key >= keyF1 && key <= keyF12; }

} // namespace valley
