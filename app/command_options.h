#pragma once
// The pieces the commands' option readers share: whole numbers, numbers and sizes read
// from an argument, each the whole argument or nothing.
#include <string>

namespace mirva {

bool readInt(const std::string& text, int& value);
bool readDouble(const std::string& text, double& value);
// WIDTHxHEIGHT, each from 1 to 8192; false with the message of the --size option in
// `error` otherwise.
bool readSize(const std::string& text, int& width, int& height, std::string& error);

}  // namespace mirva
