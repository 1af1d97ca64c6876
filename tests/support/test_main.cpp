// Test entry: fatal errors throw `FatalError` instead of ending the process.
#include <gtest/gtest.h>

#include "io/console.h"
#include "tests/support/fatal.h"

namespace mirva::test {

std::string fatalMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const FatalError& error) {
        return error.what();
    }
    return "<no fatal error>";
}

}  // namespace mirva::test

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    mirva::Console::setFatalHandler([](const std::string& message) { throw mirva::test::FatalError(message); });
    return RUN_ALL_TESTS();
}
