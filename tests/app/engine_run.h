// Runs the real engine in this process with a scripted input timeline: start-up, scene, frame
// loop and drawing, against a real window on the test display, each run in a fresh run object
// (app/run.h). `engine` is the run being made or the last one, kept with all it reaches for
// good, as the engine keeps its records.
#pragma once

#include "app/run.h"
#include "app/startup.h"
#include "platform/input_script.h"

#include <gtest/gtest.h>

#include <string>

using namespace valley;

class ScriptedEngineRun : public ::testing::Test {
protected:
    void TearDown() override;
    // Runs the engine until the script ends or Escape; returns its exit status. Each run
    // starts from the script's first frame.
    int run(const RunSetup& setup = RunSetup{});
    // Runs it in a fresh working directory holding only the shaders, so no mesh or texture is found.
    int runWithoutData();

    RunState* engine = nullptr;
    InputScript script;
    std::string workingDirectory;
};
