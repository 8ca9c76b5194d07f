#include "core/printable.h"

#include <gtest/gtest.h>

#include <string>

using namespace valley;

TEST(Printable, ControlCharactersAndBackslashesAreEscapedAndTheRestKept) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"/home/ana/valley data/Meshes", "/home/ana/valley data/Meshes"},
        {"", ""},
        {"/nonexistent\nvalley: the data folder is fine", "/nonexistent\\nvalley: the data folder is fine"},
        {"a\tb\rc", "a\\tb\\rc"},
        {"\x1b[2J\x7f", "\\x1b[2J\\x7f"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"back\\slash", "back\\\\slash"},
        {"caf\xc3\xa9", "caf\xc3\xa9"}, // UTF-8 passes through
    };
    for (const auto& c : cases) {
        EXPECT_EQ(printable(c.text), c.shown) << c.shown;
    }
}
