#include "tests/app/engine_run.h"

#include "app/startup.h"
#include "platform/window.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

int ScriptedEngineRun::run() {
    platformUseScript(&script);
    return runValley();
}

int ScriptedEngineRun::runWithoutData() {
    char pattern[] = "/tmp/valley-empty-XXXXXX";
    workingDirectory = mkdtemp(pattern);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(workingDirectory);
    int status = run();
    std::filesystem::current_path(previous);
    return status;
}

void ScriptedEngineRun::TearDown() {
    platformUseScript(nullptr);
    if (!workingDirectory.empty()) {
        std::filesystem::remove_all(workingDirectory);
    }
}
