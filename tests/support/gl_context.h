// A real window with an OpenGL 2.0 context, opened once for the whole test program.
// Needs a display (the test script provides a virtual one).
#pragma once

#include <gtest/gtest.h>

// Opens the window on first use; true while a context is current.
bool ensureGlContext();

class GlContextTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ensureGlContext()) << "no OpenGL 2.0 context: is DISPLAY set?"; }
};
