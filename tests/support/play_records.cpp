#include "tests/support/play_records.h"

#include <vector>

using namespace valley;

PlayRecords& freshPlayRecords(ShaderProgram* material) {
    // Never destroyed: static destructors run before the leak check.
    static std::vector<PlayRecords*>* kept = new std::vector<PlayRecords*>;
    PlayRecords* records = new PlayRecords{};
    kept->push_back(records);
    initCamera(records->camera);
    for (RenderList* list : {&records->sceneList, &records->waterList}) {
        list->camera = &records->camera;
        list->material = material;
    }
    records->camera.sceneList = &records->sceneList;
    records->camera.waterList = &records->waterList;
    records->waterLevel = -11.0f;
    return *records;
}

Tick tickOf(PlayRecords& records) {
    return Tick{records.input,       records.lastInput, records.world,     records.bodies,
                records.resources,   records.sceneList, records.waterList, records.camera,
                records.rockTexture, records.liveRocks, records.random,    records.waterLevel};
}
