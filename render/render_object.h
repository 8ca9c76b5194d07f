// Render objects, their override slots, the two render lists and the draw pass.
//
// Units: world units and degrees, y up. An object is scaled, turned about x, then z, then y,
// moved to its position and brought into the camera's frame (camera looks along -z there).
// Matrices follow core/vec_math.h (column-major, translation in elements 12-14).
#pragma once

#include "core/object_list.h"
#include "core/slot_pool.h"
#include "core/vec_math.h"

#include <cstdint>

namespace valley {

struct Camera;
struct GroundPieces;
struct Mesh;
class ObjectLogic;
struct ShaderProgram;
struct Texture;
struct Tick;

struct Slot {
    uintptr_t value; // texture slots: an OpenGL texture name; others: a data pointer (caller-owned)
    uint8_t set;     // a set slot replaces the program's default

    static void* operator new(size_t) { return takeSlot<Slot>(); }
    static void operator delete(void* slot) { giveSlot<Slot>(slot); }
};

struct RenderObject {
    Mesh* mesh;         // not owned; never none after creation
    ListNode* listNode; // this object's node in its render list
    Vec3 position;
    Vec3 rotation; // degrees about x, y, z
    Vec3 scale;
    Mat4 modelView;             // rebuilt at every draw
    uint8_t visible;            // drawn only when non-zero
    uint8_t background;         // lies behind everything else in its list: drawn after the opaque objects
    ObjectLogic* logic;         // owned behaviour, or none
    ShaderProgram* shader;      // not owned
    ObjectList textureSlots;    // one per sampler of the shader
    ObjectList normalSlots;     // one per value uniform of the attribute table
    ObjectList blendSlots;      // one per value uniform of the uniforms table
    GroundPieces* groundPieces; // owned, or none: the mesh by slope, for a program with slope variants

    static void* operator new(size_t) { return takeSlot<RenderObject>(); }
    static void operator delete(void* object) { giveSlot<RenderObject>(object); }
};

struct RenderList {
    ListNode* head;
    ListNode* tail;
    Mat4 projection; // refilled every tick
    Camera* camera;
    ShaderProgram* material; // every object created into the list starts with it; not owned
};

const float drawDistance = 20000.0f; // per axis, from the camera

RenderObject* createRenderObject(Mesh* mesh, Camera& camera); // appended to camera.sceneList
RenderObject* createWaterObject(Mesh* mesh, Camera& camera);  // appended to camera.waterList
// Appended to camera.sceneList, carrying the behaviour (owned from then on); runs logic->setUp
// with the tick it is made in.
RenderObject* createLogicObject(Mesh* mesh, Camera& camera, ObjectLogic* logic, const Tick& tick);
void makeTextureSlots(RenderObject& object);
void makeNormalMatrixSlots(RenderObject& object);
void makeBlendSlots(RenderObject& object);
void setTexture(RenderObject& object, const char* name, const Texture* texture);
void setNormalMatrix(RenderObject& object, const Mat4* matrix);
void setBlend(RenderObject& object, const float* blend);
void freeSlotList(ObjectList& list); // frees nodes and slots
// Unlinks the object from the list and frees its behaviour, slot lists, pieces and the object
// itself. Not while the list is being drawn; a behaviour may call it on its own object.
void destroyRenderObject(RenderObject* object, RenderList& list);
void buildModelView(RenderObject& object, const Camera& camera);
// Draws the list's objects as list order would. What follows saves work and leaves
// the picture as list order draws it: an object whose bounding sphere lies wholly outside the
// view is left out; the opaque objects before the first blended one wait and are then drawn
// last-first, so that what came last (rocks thrown lately, usually nearest) hides what lies
// behind it before that is shaded, each winning the depth ties it won in list order (under the
// caller's GL_LESS with depth writes; otherwise they are drawn in place); a background object
// waits until after them, so depth hides its covered fragments before they are shaded; an opaque
// object (its "Blend1" is 1, or it has none: the shaders write that value as alpha) is drawn
// with blending off, as blending would hand back its own colour; an object with ground pieces
// whose program has slope variants is drawn piece by piece, each with its own program, while
// its normal matrix is the identity the pieces were sorted for. Behaviours do not run here
// (game/behaviour_pass.h).
void drawRenderList(RenderList& list);

} // namespace valley
