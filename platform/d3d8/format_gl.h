#pragma once
// How each Direct3D format is stored in OpenGL: the internal format, the client format
// and type that match the format's bytes in memory (so locked data uploads unchanged),
// and the swizzle that gives formats without red, green or blue their Direct3D reading.
#include <epoxy/gl.h>

#include "platform/d3d8/d3d8_types.h"

namespace mirva {

struct GLFormat {
    D3DFORMAT format;
    GLenum internalFormat;
    GLenum clientFormat;  // for colour formats: upload and read-back layout
    GLenum clientType;
    GLint swizzle[4];
    bool depth = false;
    bool stencil = false;
};

// Null for formats that OpenGL cannot hold (compressed, palette, bump, YUV).
const GLFormat* glFormat(D3DFORMAT format);

}  // namespace mirva
