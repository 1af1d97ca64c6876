#include "platform/d3d8/gl_context.h"

#include <malloc.h>

#include "platform/d3d8/window.h"

namespace mirva {

namespace {

GLContext* current = nullptr;

// A software renderer (Mesa's llvmpipe, where there is no GPU) allocates the bins of
// every frame's triangles and frees them when the frame is drawn, megabytes a frame. The
// C library would give that memory back to the system and then fault it in again page
// by page, which on a virtual machine costs more than the drawing itself. Freed memory
// stays in the process instead: the heap is not trimmed below 256 MiB, and blocks under
// 32 MiB come from the heap rather than from mappings of their own.
void keepRendererMemory()
{
    static const bool kept = [] {
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        return true;
    }();
    (void)kept;
}

}  // namespace

GLContext::~GLContext()
{
    if (current == this)
        current = nullptr;
}

void GLContext::makeCurrent()
{
    if (current == this)
        return;
    if (bind())
        current = this;
}

std::unique_ptr<GLContext> GLContext::create(D3DWindow* window, std::string& error)
{
    keepRendererMemory();
    std::unique_ptr<GLContext> context;
    if (!window || window->isHeadless())
        context = createEglContext(error);
    else
        context = createSdlContext(window, error);
    if (context) {
        current = nullptr;  // the new context was made current by its creation
        context->makeCurrent();
    }
    return context;
}

std::unique_ptr<GLContext> GLContext::createProbe(std::string& error)
{
    std::unique_ptr<GLContext> context = createEglContext(error);
    if (!context) {
        std::string sdlError;
        context = createHiddenSdlContext(sdlError);
        if (!context)
            error += "; " + sdlError;
    }
    if (context) {
        current = nullptr;
        context->makeCurrent();
    }
    return context;
}

}  // namespace mirva
