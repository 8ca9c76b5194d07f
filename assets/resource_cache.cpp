// Meshes and textures by file name, loaded once each.
#include "assets/resource_cache.h"

#include "assets/file_kinds.h"
#include "assets/mesh.h"
#include "assets/texture.h"

#include <cstring>

namespace valley {

namespace {

void record(ResourceCache& cache, const char* name, void* resource) {
    appendToList(cache.entries, new ResourceEntry{name, resource});
}

void recordTexture(ResourceCache& cache, const char* name) {
    Texture* texture = new Texture{};
    loadTexture(name, *texture);
    appendToList(cache.textures, texture);
    record(cache, name, texture);
}

} // namespace

void* findResource(ResourceCache& cache, const char* name) {
    void* found = nullptr; // every recorded resource is a record, never none
    walkList(cache.entries, [&](void* payload) {
        const ResourceEntry* entry = static_cast<const ResourceEntry*>(payload);
        if (found == nullptr && std::strcmp(entry->name, name) == 0) {
            found = entry->resource;
        }
    });
    return found;
}

void loadResource(ResourceCache& cache, const char* name) {
    const FileKinds kinds = fileKindsOf(name);
    if (kinds.bmp) {
        recordTexture(cache, name);
    }
    if (kinds.dds) {
        recordTexture(cache, name);
    } else if (kinds.dae) {
        Mesh* mesh = new Mesh{};
        loadMesh(*mesh, name);
        appendToList(cache.meshes, mesh);
        record(cache, name, mesh);
    }
}

void* getResource(ResourceCache& cache, const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    void* resource = findResource(cache, name);
    if (resource != nullptr) {
        return resource;
    }
    loadResource(cache, name);
    return findResource(cache, name);
}

} // namespace valley
