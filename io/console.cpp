#include "io/console.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace mirva {

namespace {

struct ConsoleState {
    std::mutex mutex;
    bool open = false;
    Console::Hook cleanup;
    Console::Handler messageBox;
    Console::Handler fatalHandler;
};

ConsoleState& state()
{
    static ConsoleState s;
    return s;
}

// A fatal error raised while the cleanup hook runs (a display that fails to restore,
// say) must not run the hook again.
std::atomic<bool> inCleanup{false};

}  // namespace

std::string formatTextV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

std::string formatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    return text;
}

void Console::open()
{
    std::lock_guard lock(state().mutex);
    state().open = true;
}

void Console::close()
{
    std::lock_guard lock(state().mutex);
    state().open = false;
}

bool Console::isOpen()
{
    std::lock_guard lock(state().mutex);
    return state().open;
}

void Console::print(const char* format, ...)
{
    if (!isOpen())
        return;
    va_list args;
    va_start(args, format);
    const std::string text = formatTextV(format, args);
    va_end(args);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void Console::error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = formatTextV(format, args);
    va_end(args);
    fatal(text);
}

void Console::fatal(const std::string& message)
{
    Hook cleanup;
    Handler box;
    Handler handler;
    bool open = false;
    {
        std::lock_guard lock(state().mutex);
        cleanup = state().cleanup;
        box = state().messageBox;
        handler = state().fatalHandler;
        open = state().open;
    }
    if (handler)
        handler(message);  // tests throw from here

    if (cleanup && !inCleanup.exchange(true))
        cleanup();
    std::FILE* out = open ? stdout : stderr;
    std::fprintf(out, "%s\n", message.c_str());
    std::fflush(out);
    if (box)
        box(message);
    std::fflush(nullptr);
    // No static destructors: the fatal path may run on any thread and in any state.
    std::_Exit(255);
}

void Console::setCleanupHook(Hook hook)
{
    std::lock_guard lock(state().mutex);
    state().cleanup = std::move(hook);
}

void Console::setMessageBox(Handler box)
{
    std::lock_guard lock(state().mutex);
    state().messageBox = std::move(box);
}

Console::Handler Console::setFatalHandler(Handler handler)
{
    std::lock_guard lock(state().mutex);
    return std::exchange(state().fatalHandler, std::move(handler));
}

std::string excerpt(std::string_view text)
{
    constexpr std::size_t kLongest = 80;
    if (text.size() <= kLongest)
        return std::string(text);
    return std::string(text.substr(0, kLongest)) + "...";
}

}  // namespace mirva
