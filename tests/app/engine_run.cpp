#include "tests/app/engine_run.h"

#include "platform/window.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

using namespace valley;

int ScriptedEngineRun::run(const RunSetup& setup) {
    // Never freed: static destructors run before the leak check.
    static std::vector<RunState*>* kept = new std::vector<RunState*>;
    engine = new RunState{};
    kept->push_back(engine);
    platformUseScript(&script);
    return runValley(*engine, setup);
}

int ScriptedEngineRun::runWithoutData() {
    char pattern[] = "/tmp/valley-empty-XXXXXX";
    workingDirectory = mkdtemp(pattern);
    std::filesystem::copy(VALLEY_DATA_DIR "shaders", workingDirectory + "/shaders");
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
