// Behaviours of render objects: set up once when the object is created, then updated once per
// frame by the draw pass, just before the object would be drawn. All amounts are per frame.
#pragma once

struct RenderObject;

class ObjectLogic {
public:
    virtual ~ObjectLogic() = default; // destroying through the base releases the whole behaviour
    virtual void setUp() = 0;         // called once by createLogicObject, owner at the origin
    virtual void update() = 0;        // may destroy its owner and itself (destroyRenderObject)

    RenderObject* owner = nullptr; // set by createLogicObject before setUp
};
