#include "script/script_time.h"

#include "io/console.h"

namespace mirva {

std::string timeText(Time t)
{
    return formatText("%d:%d:%d", (t >> 14) & 0x1FFFF, (t >> 8) & 63, t & 255);
}

}  // namespace mirva
