#include "app/command_options.h"

#include <algorithm>
#include <stdexcept>

namespace mirva {

namespace {

// Whether `parse` reads the whole of `text` as one number.
template <typename Parse>
bool readWhole(const std::string& text, Parse parse)
{
    std::size_t used = 0;
    try {
        parse(&used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size();
}

}  // namespace

bool readInt(const std::string& text, int& value)
{
    return readWhole(text, [&](std::size_t* used) { value = std::stoi(text, used); });
}

bool readDouble(const std::string& text, double& value)
{
    return readWhole(text, [&](std::size_t* used) { value = std::stod(text, used); });
}

bool readSize(const std::string& text, int& width, int& height, std::string& error)
{
    const std::size_t x = text.find('x');
    if (x == std::string::npos || !readInt(text.substr(0, x), width) || !readInt(text.substr(x + 1), height) ||
        width < 1 || height < 1 || width > 8192 || height > 8192) {
        error = "--size wants WIDTHxHEIGHT, each from 1 to 8192, not '" + text + "'";
        return false;
    }
    return true;
}

bool readCommandLine(const std::vector<std::string>& args, std::initializer_list<std::string_view> flags,
                     std::initializer_list<std::string_view> valued, std::string& script, const OptionReader& read,
                     std::string& error)
{
    const auto listed = [](std::initializer_list<std::string_view> names, const std::string& arg) {
        return std::find(names.begin(), names.end(), arg) != names.end();
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            if (!script.empty()) {
                error = "more than one script: '" + script + "' and '" + arg + "'";
                return false;
            }
            script = arg;
        } else if (listed(flags, arg)) {
            if (!read(arg, "", error))
                return false;
        } else if (!listed(valued, arg)) {
            error = "unknown option '" + arg + "'";
            return false;
        } else if (i + 1 >= args.size()) {
            error = "option " + arg + " needs a value";
            return false;
        } else if (!read(arg, args[++i], error)) {
            return false;
        }
    }
    if (script.empty()) {
        error = "no script given";
        return false;
    }
    return true;
}

}  // namespace mirva
