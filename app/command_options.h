#pragma once
// The pieces the commands' option readers share: whole numbers, numbers and sizes read
// from an argument, each the whole argument or nothing.
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace mirva {

bool readInt(const std::string& text, int& value);
bool readDouble(const std::string& text, double& value);
// WIDTHxHEIGHT, each from 1 to 8192; false with the message of the --size option in
// `error` otherwise.
bool readSize(const std::string& text, int& width, int& height, std::string& error);

// Takes one option: its name and its value (empty for a flag); false, with the reason in
// `error`, for a value it refuses.
using OptionReader = std::function<bool(const std::string& option, const std::string& value, std::string& error)>;

// Walks a command's arguments in any order: one script (a word that does not start with
// "--"), the `flags`, and the `valued` options with the word after them, each handed to
// `read`. False with the reason in `error` for a second script, an unknown option, an
// option without its value, a value `read` refuses, or no script at all.
bool readCommandLine(const std::vector<std::string>& args, std::initializer_list<std::string_view> flags,
                     std::initializer_list<std::string_view> valued, std::string& script, const OptionReader& read,
                     std::string& error);

}  // namespace mirva
