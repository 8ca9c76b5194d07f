#include "core/report.h"

#include <gtest/gtest.h>

#include <string>

using namespace valley;

// Every kind of failure prints its one line on its stream, the name made printable; a step that
// went well prints nothing.
TEST(Report, EachKindOfFailurePrintsItsOneLineAndSuccessPrintsNothing) {
    const struct {
        Failure failure;
        std::string name;
        std::string out;
        std::string err;
    } cases[] = {
        {Failure::mesh, "Meshes/a\nb.dae", "error: mesh Meshes/a\\nb.dae loaded incorrectly!\n", ""},
        {Failure::noMesh, "", "error: mesh is NULL!\n", ""},
        {Failure::texture, "Textures/t.bmp", "error: texture Textures/t.bmp loaded incorrectly: WHY\n", ""},
        {Failure::shaderRead, "shaders/s.vert", "error: shader shaders/s.vert cannot be read: WHY\n", ""},
        {Failure::shaderEmpty, "shaders/s.frag", "error: shader shaders/s.frag is missing or empty!\n", ""},
        {Failure::windowIcon, "", "error: window icon WHY\n", ""},
        {Failure::windowSystem, "", "", "Failed to initialize GLFW. (WHY)\n"},
        {Failure::window, "", "", "Failed to open GLFW window. (WHY)\n"},
        {Failure::usage, "", "", "valley: WHY\n"},
        {Failure::write, "out/\x1b[2Jf.png", "", "valley: cannot write out/\\x1b[2Jf.png: WHY\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out + c.err);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool printed = report("WHY", c.failure, c.name);
        const bool printedNothing = report(std::nullopt, c.failure, c.name);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
        EXPECT_TRUE(printed);
        EXPECT_FALSE(printedNothing);
    }
}
