// The behaviour pass: once per tick, after the physics step and integration, every render
// object's behaviour is updated, the scene list first, then the water list, each in list order.
// Objects outside the view update like any other; drawing comes after and only draws.
#pragma once

namespace valley {

struct Camera;
struct RenderList;

// Runs the behaviour of each object of `list` in list order. The next node is fetched before a
// behaviour runs, so a behaviour may destroy its own object (or one before it in the list).
void updateBehaviours(RenderList& list);
// The scene list's behaviours, then the water list's.
void updateAllBehaviours(Camera& camera);

} // namespace valley
