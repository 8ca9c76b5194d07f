// The behaviour pass: once per tick, after the physics step and integration, every render
// object's behaviour is updated with the tick (game/tick.h), the scene list first, then the water
// list, each in list order. Objects outside the view update like any other; drawing comes after
// and only draws.
#pragma once

namespace valley {

struct RenderList;
struct Tick;

// Runs the behaviour of each object of `list` in list order. The next node is fetched before a
// behaviour runs, so a behaviour may destroy its own object (or one before it in the list).
void updateBehaviours(RenderList& list, const Tick& tick);
// The tick's scene list's behaviours, then its water list's.
void updateAllBehaviours(const Tick& tick);

} // namespace valley
