#pragma once
// Console: log lines and the one fatal-error path of the program.
//
// `print` writes printf-style lines to the console the program was asked to open
// (-console); without one the text is dropped. `error` is the only way the program
// reports a failure: it puts the desktop back in order through hooks that the upper
// layers install (priority, display, window), writes the message, shows it in a
// message box when the program runs its window, and ends the process with code 255.
//
// Tests replace the last step with a handler of their own (one that throws), so that
// the exact text of a fatal message can be read in-process.
//
// This layer does not know about windows, displays or scripts; it only calls hooks.
#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>

namespace mirva {

class Console {
public:
    using Handler = std::function<void(const std::string& message)>;
    using Hook = std::function<void()>;

    // Log lines go to standard output from now on.
    static void open();
    static void close();
    static bool isOpen();

    static void print(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Fatal error report; never returns. The formatted text is the message.
    [[noreturn]] static void error(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // The same with a text composed by the caller (used verbatim, no formatting).
    [[noreturn]] static void fatal(const std::string& message);

    // Runs before the message is written: normal priority, release of the display,
    // hiding the window. Installed by the program; empty by default.
    static void setCleanupHook(Hook hook);
    // Shows the message to the user (a message box titled "error"). Installed only
    // while the program runs its window; empty in the command-line modes.
    static void setMessageBox(Handler box);
    // Replaces the default end of a fatal error (exit with code 255). A handler that
    // returns falls through to the default. Returns the handler it replaces.
    static Handler setFatalHandler(Handler handler);
};

// printf-style formatting into a string of any length.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same with the arguments of a variadic caller.
std::string formatTextV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// A word of someone's input as a message quotes it: at most its first 80 characters,
// then "..." when there was more, so that a huge token never makes a huge message.
std::string excerpt(std::string_view text);

}  // namespace mirva
