#include "tests/support/console_output.h"

#include <gtest/gtest.h>

#include "io/console.h"

namespace mirva::test {

std::string consoleOutput(const std::function<void()>& action)
{
    Console::open();
    testing::internal::CaptureStdout();
    action();
    std::string out = testing::internal::GetCapturedStdout();
    Console::close();
    return out;
}

}  // namespace mirva::test
