#pragma once
// Every test binary links test_main.cpp, which turns the program's fatal-error path into
// a `FatalError` exception carrying the exact message, so tests read it in-process.
#include <functional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace mirva::test {

struct FatalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Runs `action`, which must end in a fatal error, and returns the message
// (or "<no fatal error>" when it returned normally).
std::string fatalMessage(const std::function<void()>& action);

}  // namespace mirva::test

// The statement must end in exactly this fatal message.
#define EXPECT_FATAL(statement, message) \
    EXPECT_EQ(::mirva::test::fatalMessage([&] { statement; }), std::string(message))
