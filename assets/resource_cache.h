// Meshes and textures by file name: each name is loaded on its first request and the same
// record is handed back from then on. Names are compared exactly (case-sensitive); the kind
// of resource is told by the extension found anywhere in the name (".bmp", ".dds", ".dae").
#pragma once

#include "core/object_list.h"

namespace valley {

struct ResourceEntry {
    const char* name; // the caller's string, not copied: it must outlive the cache
    void* resource;   // a Texture or a Mesh record
};

struct ResourceCache {
    ObjectList textures; // Texture records, owned
    ObjectList meshes;   // Mesh records, owned
    ObjectList entries;  // ResourceEntry records in load order, owned
};

// The resource recorded under the name, loading it on a miss; none for a name without a
// known extension (asked again, it is tried again). A failed load is recorded like a good one.
void* getResource(ResourceCache& cache, const char* name);

// The resource of the first entry with exactly this name; none when there is no such entry.
void* findResource(ResourceCache& cache, const char* name);
// Loads by extension and records the result: ".bmp" a texture, then ".dds" another texture;
// without ".dds", ".dae" a mesh. Nothing for any other name.
void loadResource(ResourceCache& cache, const char* name);

} // namespace valley
