// The behaviour a render object may carry. The render layer owns it (freed with its object by
// destroyRenderObject) and runs only its setUp, once, in createLogicObject: the game's behaviour
// pass (game/behaviour_pass.h) updates every behaviour once per tick, after the physics step and
// before anything is drawn.
// All amounts are per tick.
#pragma once

namespace valley {

struct RenderObject;

class ObjectLogic {
public:
    virtual ~ObjectLogic() = default; // destroying through the base releases the whole behaviour
    virtual void setUp() = 0;         // called once by createLogicObject, owner at the origin
    virtual void update() = 0;        // may destroy its owner and itself (destroyRenderObject)

    RenderObject* owner = nullptr; // set by createLogicObject before setUp
};

} // namespace valley
