// Runs the real engine in this process with a scripted input timeline: start-up, scene, frame
// loop and drawing, against a real window on the test display.
#pragma once

#include "platform/input_script.h"

#include <gtest/gtest.h>

#include <string>

class ScriptedEngineRun : public ::testing::Test {
protected:
    void TearDown() override;
    // Runs the engine until the script ends or Escape; returns its exit status.
    int run();
    // Runs it in a fresh empty working directory, so no mesh or texture is found.
    int runWithoutData();

    InputScript script;
    std::string workingDirectory;
};
