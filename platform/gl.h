// The OpenGL header for every file that calls OpenGL: OpenGL 2.0 through epoxy on the desktop,
// OpenGL ES 2.0 (WebGL 1) in the browser. What differs between the two is said here once.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>
#else
#include <epoxy/gl.h>
#endif

namespace valley {

#ifdef __EMSCRIPTEN__
// Shaders are GLSL ES 1.00: the loader rewrites the version line and adds a precision.
constexpr bool glslEs = true;

// The GLES2 headers declare no glMultiDrawElements: one draw per run.
inline void multiDrawElements(GLenum mode, const GLsizei* counts, GLenum type, const void* const* offsets,
                              GLsizei drawCount) {
    for (GLsizei i = 0; i < drawCount; ++i) {
        glDrawElements(mode, counts[i], type, offsets[i]);
    }
}
#else
constexpr bool glslEs = false;

inline void multiDrawElements(GLenum mode, const GLsizei* counts, GLenum type, const void* const* offsets,
                              GLsizei drawCount) {
    glMultiDrawElements(mode, counts, type, offsets, drawCount);
}
#endif

} // namespace valley
