#include "platform/d3d8/gl_context.h"

#include "platform/d3d8/window.h"

namespace mirva {

namespace {
GLContext* current = nullptr;
}

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
