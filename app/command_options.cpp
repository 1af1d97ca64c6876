#include "app/command_options.h"

#include <stdexcept>

namespace mirva {

bool readInt(const std::string& text, int& value)
{
    std::size_t used = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size();
}

bool readDouble(const std::string& text, double& value)
{
    std::size_t used = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size();
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

}  // namespace mirva
