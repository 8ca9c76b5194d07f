// The behaviour a render object may carry. The render layer owns it (freed with its object by
// destroyRenderObject) and runs only its setUp, once, in createLogicObject: the game's behaviour
// pass (game/behaviour_pass.h) updates every behaviour once per tick, after the physics step and
// before anything is drawn.
//
// What a behaviour works on in a tick, `Tick`, is the game's record (game/tick.h): render only
// hands it through to setUp by reference and so needs no more than its name, which keeps render
// apart from the game and the physics that record names.
// All amounts are per tick.
#pragma once

#include <cstdint>

namespace valley {

struct RenderObject;
struct Tick;

class ObjectLogic {
public:
    virtual ~ObjectLogic() = default; // destroying through the base releases the whole behaviour
    // Called once by createLogicObject, owner at the origin, during the tick that makes it.
    virtual void setUp(const Tick& tick) = 0;
    // Every tick; may destroy its owner and itself (destroyRenderObject).
    virtual void update(const Tick& tick) = 0;
    // Adds what tells this behaviour's state apart to a session's state hash (FNV-1a, core/fnv_hash.h).
    virtual uint32_t hashState(uint32_t hash) const = 0;

    RenderObject* owner = nullptr; // set by createLogicObject before setUp
};

} // namespace valley
