#include "platform/d3d8/failure_report.h"

#include "io/console.h"

namespace mirva {

void reportGraphicsFailure(const std::string& text)
{
    Console::print("graphics: %s\n", text.c_str());
}

HRESULT refuse(const char* call, const std::string& why, HRESULT code)
{
    reportGraphicsFailure(std::string(call) + ": " + why);
    return code;
}

}  // namespace mirva
