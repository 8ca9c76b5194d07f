#include "app/player_control.h"

#include "app/scene.h"

void applyPlayerControl(SceneHandles& scene) { (void)scene; }
