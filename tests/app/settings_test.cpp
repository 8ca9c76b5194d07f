// The settings file: what each line sets, each bad line named once and skipped, where the file
// lies, and how the settings become the mapping from the desktop's input to the game's.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

using namespace valley;

TEST(Settings, EachLineSetsItsValueAndEachBadLineIsNamedAndSkipped) {
    const std::string text = "# look\n"
                             "sensitivity = 2.5\n"
                             "\n"
                             "invert-y=yes   # forward looks down\n"
                             "W = Up\n"
                             "mouseleft = t\n"
                             "jump = X\n"
                             "sensitivity = 0\n"
                             "sensitivity = fast\n"
                             "invert-y = maybe\n"
                             "W = Tab\n"
                             "just words\n";
    Settings settings;
    std::vector<std::string> complaints;
    readSettings(text, "/c/valley/settings", settings, complaints);
    EXPECT_EQ(settings.sensitivity, 2.5f);
    EXPECT_TRUE(settings.invertY);
    ASSERT_EQ(settings.moves.size(), 2u);
    EXPECT_EQ(inputName(settings.moves[0].first) + ">" + inputName(settings.moves[0].second), "W>Up");
    EXPECT_EQ(inputName(settings.moves[1].first) + ">" + inputName(settings.moves[1].second), "MouseLeft>T");
    const std::vector<std::string> expected = {
        "/c/valley/settings line 7: \"jump\" is neither a setting nor a key; skipped",
        "/c/valley/settings line 8: sensitivity needs a number above 0, at most 100, not \"0\"; skipped",
        "/c/valley/settings line 9: sensitivity needs a number above 0, at most 100, not \"fast\"; skipped",
        "/c/valley/settings line 10: invert-y needs yes or no, not \"maybe\"; skipped",
        "/c/valley/settings line 11: \"Tab\" is not a key; skipped",
        "/c/valley/settings line 12: not a line of the form key = value; skipped",
    };
    EXPECT_EQ(complaints, expected);

    const InputMapping mapping = inputMapping(settings);
    EXPECT_EQ(mapping.sensitivity, 2.5f);
    EXPECT_TRUE(mapping.invertY);
    InputState desktop = {0, 0, 0, 0};
    setKey(desktop, keyUp, true);
    setKey(desktop, 'T', true);
    const InputState game = mapKeys(mapping, desktop);
    EXPECT_TRUE(isHeld(game, 'W') && buttonHeld(game, mouseButtonLeft));
}

TEST(Settings, TheFileLiesInTheConfigFolderOrUnderHomeAndMayBeMissing) {
    // The environment as the program is started with it; the file's place follows.
    setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: not used
    setenv("HOME", "/home/p", 1);
    EXPECT_EQ(settingsPath(), "/home/p/.config/valley/settings");
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(settingsPath(), "/cfg/valley/settings");

    Settings settings;
    std::vector<std::string> complaints;
    loadSettings("/nonexistent/valley/settings", settings, complaints);
    EXPECT_TRUE(complaints.empty());
    loadSettings("/proc/self/mem/settings", settings, complaints);
    EXPECT_EQ(complaints.size(), 1u);
    // A FIFO with no writer is named, not waited on.
    const std::string fifo = testing::TempDir() + "settings_fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    loadSettings(fifo, settings, complaints);
    std::remove(fifo.c_str());
    ASSERT_EQ(complaints.size(), 2u);
    EXPECT_NE(complaints[1].find("settings_fifo"), std::string::npos);
    EXPECT_EQ(settings.sensitivity, 1.0f);
}
