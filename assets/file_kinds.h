// What a file name asks to be loaded as, told by the extensions found anywhere in it (substring
// tests, case-sensitive). One name can ask for several: "a.bmp.dds" is loaded as both textures.
#pragma once

namespace valley {

struct FileKinds {
    bool bmp; // ".bmp": a texture the engine decodes
    bool dds; // ".dds": a DDS texture
    bool dae; // ".dae": a COLLADA mesh
};

FileKinds fileKindsOf(const char* name);

} // namespace valley
