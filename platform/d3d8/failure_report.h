#pragma once
// Why the graphics layer failed, said on the console (`-console`) before a result code
// goes back: the engine turns most failed calls into a fatal message that can only name
// the code, and the reason (a shader's compiler log, an EGL error, a draw call's missing
// buffer) would otherwise be lost.
#include <string>

#include "platform/d3d8/d3d8_types.h"

namespace mirva {

// "graphics: TEXT" as one console line.
void reportGraphicsFailure(const std::string& text);
// Reports "CALL: WHY" and returns `code`, for a call that refuses.
HRESULT refuse(const char* call, const std::string& why, HRESULT code = D3DERR_INVALIDCALL);

}  // namespace mirva
