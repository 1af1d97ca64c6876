#pragma once
// What the program logs on its console (Console::print) while an action runs.
#include <functional>
#include <string>

namespace mirva::test {

// Opens the console, runs `action`, closes the console and returns what was printed.
std::string consoleOutput(const std::function<void()>& action);

}  // namespace mirva::test
