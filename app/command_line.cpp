#include "app/command_line.h"

namespace mirva {

CommandLine::CommandLine(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (!text_.empty())
            text_ += ' ';
        text_ += arg;
    }
}

}  // namespace mirva
