// Render objects: creation into a render list, per-object overrides of a program's inputs
// (slots), the model-view matrix and the draw pass.
//
// Units: world units and degrees, y up; the camera looks along -z in its own frame.
// Matrices follow core/vec_math.h (column-major, translation in elements 12-14).
#include "render/render_object.h"

#include "assets/mesh_data.h"
#include "assets/texture.h"
#include "core/report.h"
#include "platform/gl.h"
#include "render/camera.h"
#include "render/ground_pieces.h"
#include "render/object_logic.h"
#include "render/shader_program.h"
#include "render/view_volume.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace valley {

namespace {

RenderObject* createInList(Mesh* mesh, RenderList& list) {
    if (mesh == nullptr) {
        report("no mesh", Failure::noMesh);
        return nullptr;
    }
    RenderObject* object = new RenderObject{};
    object->shader = list.material;
    ListNode* node = new ListNode{nullptr, nullptr, object};
    linkAtTail(list, node);
    object->listNode = node;
    object->mesh = mesh;
    object->position = {0.0f, 0.0f, 0.0f};
    object->rotation = {0.0f, 0.0f, 0.0f};
    object->scale = {1.0f, 1.0f, 1.0f};
    copyMat4(object->modelView, identityMat4);
    object->visible = 1;
    object->background = 0;
    object->logic = nullptr;
    object->groundPieces = nullptr;
    return object;
}

void appendEmptySlots(ObjectList& slots, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        appendToList(slots, new Slot{0, 0});
    }
}

bool named(const VariableEntry& entry, const char* name) {
    return entry.name != nullptr && std::strcmp(entry.name, name) == 0;
}

// Sets every slot whose entry (the index-th from `first` in `table`) carries `name`.
void setNamedSlots(ObjectList& slots, const VariableTable& table, int32_t first, const char* name,
                   uintptr_t value) {
    int32_t index = first;
    walkList(slots, [&](void* payload) {
        if (index < maxVariables && named(table.entries[index], name)) {
            Slot* slot = static_cast<Slot*>(payload);
            slot->value = value;
            slot->set = 1;
        }
        ++index;
    });
}

// The value of the value uniform `name` the object's draw hands its shader: its set slot (the
// slots run beside the table's entries from `first`) or the program's default; none when the
// program has no such input.
const void* valueOf(const VariableTable& table, int32_t first, int32_t count, const ObjectList& slots,
                    const char* name) {
    const ListNode* node = slots.head;
    for (int32_t i = first; i < first + count; ++i) {
        const Slot* slot = node != nullptr ? static_cast<const Slot*>(node->payload) : nullptr;
        if (named(table.entries[i], name)) {
            return slot != nullptr && slot->set != 0 ? reinterpret_cast<const void*>(slot->value)
                                                     : table.entries[i].value;
        }
        node = node != nullptr ? node->next : nullptr;
    }
    return nullptr;
}

const float* blendOf(const RenderObject& object) {
    const ShaderProgram& program = *object.shader;
    return static_cast<const float*>(valueOf(program.uniforms, program.textureCount,
                                             program.uniforms.valueCount, object.blendSlots, "Blend1"));
}

// Pieces sorted by slope hold while the shader's normals are the mesh's own.
bool drawnInPieces(const RenderObject& object) {
    if (object.groundPieces == nullptr || object.shader == nullptr ||
        object.shader->slopeVariants[steepGround] == nullptr ||
        object.shader->slopeVariants[flatGround] == nullptr) {
        return false;
    }
    const VariableTable& attributes = object.shader->attributes;
    const void* normalMatrix =
        valueOf(attributes, attributes.count, attributes.valueCount, object.normalSlots, "normalMat");
    return normalMatrix == nullptr || std::memcmp(normalMatrix, identityMat4.m, sizeof identityMat4.m) == 0;
}

bool blended(const RenderObject& object) {
    const float* blend = object.shader != nullptr ? blendOf(object) : nullptr;
    return blend != nullptr && *blend != 1.0f;
}

// Blending on or off as the next draw needs it, changed only when it differs.
struct BlendState {
    bool allowed; // the caller's setting: off stays off
    bool on;

    void set(bool wanted) {
        wanted = wanted && allowed;
        if (wanted != on) {
            wanted ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
            on = wanted;
        }
    }
};

bool withinDrawDistance(const Vec3& position, const Vec3& eye) {
    return std::fabs(position.x - eye.x) < drawDistance && std::fabs(position.z - eye.z) < drawDistance &&
           std::fabs(position.y - eye.y) < drawDistance;
}

float largestScale(const RenderObject& object) {
    return std::fmax(std::fabs(object.scale.x),
                     std::fmax(std::fabs(object.scale.y), std::fabs(object.scale.z)));
}

// A sphere about the object's origin holding every vertex: the mesh's extent box, scaled.
float boundingRadius(const RenderObject& object) {
    const Vec3& extent = object.mesh->extent;
    return length(extent) * largestScale(object);
}

// An object-space point in the camera's frame.
Vec3 eyePoint(const Mat4& modelView, const Vec3& p) {
    const float* m = modelView.m;
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// Steep, flat and mixed triangles of the tiles in view, each class in one draw with the program
// that reads what it shows, its tiles nearest first; runs that follow each other in the buffer
// go as one.
void drawPieces(RenderObject& object, const RenderList& list) {
    const GroundPieces& pieces = *object.groundPieces;
    const float scaled = largestScale(object);
    bool inView[groundTileCount];
    float distance[groundTileCount];
    int order[groundTileCount];
    for (int tile = 0; tile < groundTileCount; ++tile) {
        const GroundTile& bounds = pieces.tiles[tile];
        const Vec3 centre = eyePoint(object.modelView, bounds.centre);
        inView[tile] = !sphereOutsideView(centre, bounds.radius * scaled, list.projection);
        distance[tile] = dot(centre, centre);
        order[tile] = tile;
    }
    // Nearest tiles first, so that depth rejects the farther ground they hide before it is shaded.
    std::sort(order, order + groundTileCount, [&](int a, int b) { return distance[a] < distance[b]; });
    ShaderProgram* programs[3] = {object.shader->slopeVariants[steepGround],
                                  object.shader->slopeVariants[flatGround], object.shader};
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, pieces.indexBuffer);
    for (int slope = steepGround; slope <= mixedGround; ++slope) {
        GLsizei counts[groundTileCount];
        const void* offsets[groundTileCount];
        GLsizei drawCount = 0;
        int32_t end = -1;
        for (int k = 0; k < groundTileCount; ++k) {
            const int tile = order[k];
            const GroundRun& run = pieces.runs[slope][tile];
            if (run.indexCount == 0 || !inView[tile]) {
                continue;
            }
            if (run.firstIndex == end) {
                counts[drawCount - 1] += run.indexCount;
            } else {
                counts[drawCount] = run.indexCount;
                offsets[drawCount] =
                    reinterpret_cast<const void*>(static_cast<uintptr_t>(run.firstIndex) * sizeof(uint32_t));
                ++drawCount;
            }
            end = run.firstIndex + run.indexCount;
        }
        if (drawCount > 0) {
            applyProgram(*programs[slope], object, list.projection, object.modelView);
            multiDrawElements(GL_TRIANGLES, counts, GL_UNSIGNED_INT, offsets, drawCount);
        }
    }
}

void drawObject(RenderObject& object, const RenderList& list) {
    buildModelView(object, *list.camera);
    const Vec3 eyePosition = {object.modelView.m[12], object.modelView.m[13], object.modelView.m[14]};
    if (sphereOutsideView(eyePosition, boundingRadius(object), list.projection)) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, object.mesh->vertexBuffer);
    if (drawnInPieces(object)) {
        drawPieces(object, list);
        return;
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, object.mesh->indexBuffer);
    if (object.shader != nullptr) {
        applyProgram(*object.shader, object, list.projection, object.modelView);
    }
    if (object.mesh->triangleCount > 0) {
        glDrawElements(GL_TRIANGLES, 3 * object.mesh->triangleCount, GL_UNSIGNED_INT, nullptr);
    }
}

} // namespace

RenderObject* createRenderObject(Mesh* mesh, Camera& camera) { return createInList(mesh, *camera.sceneList); }

RenderObject* createWaterObject(Mesh* mesh, Camera& camera) { return createInList(mesh, *camera.waterList); }

RenderObject* createLogicObject(Mesh* mesh, Camera& camera, ObjectLogic* logic, const Tick& tick) {
    RenderObject* object = createInList(mesh, *camera.sceneList);
    if (object == nullptr) {
        return nullptr;
    }
    object->logic = logic;
    logic->owner = object;
    logic->setUp(tick);
    return object;
}

void makeTextureSlots(RenderObject& object) {
    if (object.shader == nullptr) {
        return;
    }
    for (int32_t i = 0; i < object.shader->textureCount; ++i) {
        appendToList(object.textureSlots, new Slot{object.shader->textures[i]->textureId, 0});
    }
}

void makeNormalMatrixSlots(RenderObject& object) {
    if (object.shader != nullptr) {
        appendEmptySlots(object.normalSlots, object.shader->attributes.valueCount);
    }
}

void makeBlendSlots(RenderObject& object) {
    if (object.shader != nullptr) {
        appendEmptySlots(object.blendSlots, object.shader->uniforms.valueCount);
    }
}

void setTexture(RenderObject& object, const char* name, const Texture* texture) {
    if (object.shader != nullptr) {
        setNamedSlots(object.textureSlots, object.shader->uniforms, 0, name, texture->textureId);
    }
}

void setNormalMatrix(RenderObject& object, const Mat4* matrix) {
    if (object.shader != nullptr) {
        const VariableTable& attributes = object.shader->attributes;
        setNamedSlots(object.normalSlots, attributes, attributes.count, "normalMat",
                      reinterpret_cast<uintptr_t>(matrix));
    }
}

void setBlend(RenderObject& object, const float* blend) {
    if (object.shader != nullptr) {
        setNamedSlots(object.blendSlots, object.shader->uniforms, object.shader->textureCount, "Blend1",
                      reinterpret_cast<uintptr_t>(blend));
    }
}

void freeSlotList(ObjectList& list) { freeListAndPayloads<Slot>(list); }

void destroyRenderObject(RenderObject* object, RenderList& list) {
    removeNode(object->listNode, list);
    delete object->logic;
    freeSlotList(object->normalSlots);
    freeSlotList(object->blendSlots);
    freeSlotList(object->textureSlots);
    freeGroundPieces(object->groundPieces);
    delete object;
}

void buildModelView(RenderObject& object, const Camera& camera) {
    Mat4& m = object.modelView;
    copyMat4(m, identityMat4);
    m.m[0] *= object.scale.x;
    m.m[5] *= object.scale.y;
    m.m[10] *= object.scale.z;
    rotateMat4XZY(m, object.rotation);
    m.m[12] += object.position.x;
    m.m[13] += object.position.y;
    m.m[14] += object.position.z;

    // Into the camera's frame: yaw 0 (looking along +x) must end up looking along -z.
    m.m[12] += -1.0f * camera.position.x;
    m.m[13] += -1.0f * camera.position.y;
    m.m[14] += -1.0f * camera.position.z;
    rotateMat4Y(m, camera.yaw + 90.0f);
    rotateMat4Z(m, camera.roll);
    rotateMat4X(m, camera.pitch);
}

void drawRenderList(RenderList& list) {
    const bool blending = glIsEnabled(GL_BLEND) == GL_TRUE;
    BlendState blend = {blending, blending};
    GLint depthFunction = GL_LESS;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    // Under GL_LESS a tie goes to the object drawn first; drawn last-first under GL_LEQUAL, it
    // goes to the one drawn last, the same object.
    const bool lastFirst =
        glIsEnabled(GL_DEPTH_TEST) == GL_TRUE && depthFunction == GL_LESS && depthWrites == GL_TRUE;
    std::vector<RenderObject*> waitingOpaque;     // held back: drawn last-first before the first blended one
    std::vector<RenderObject*> waitingBackground; // held back: drawn after the waiting opaque ones
    auto drawWaiting = [&]() {
        blend.set(false);
        if (!waitingOpaque.empty()) {
            glDepthFunc(GL_LEQUAL);
            for (auto object = waitingOpaque.rbegin(); object != waitingOpaque.rend(); ++object) {
                drawObject(**object, list);
            }
            glDepthFunc(GL_LESS);
        }
        for (RenderObject* object : waitingBackground) {
            drawObject(*object, list);
        }
        waitingOpaque.clear();
        waitingBackground.clear();
    };
    for (ListNode* node = list.head; node != nullptr; node = node->next) {
        RenderObject* object = static_cast<RenderObject*>(node->payload);
        if (object->visible != 0 && withinDrawDistance(object->position, list.camera->position)) {
            const bool translucent = blended(*object);
            if (object->background != 0 && !translucent) {
                waitingBackground.push_back(object);
            } else if (lastFirst && !translucent) {
                waitingOpaque.push_back(object);
            } else {
                if (translucent) {
                    drawWaiting();
                }
                blend.set(translucent);
                drawObject(*object, list);
            }
        }
    }
    drawWaiting();
    blend.set(blending);
}

} // namespace valley
