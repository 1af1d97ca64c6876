// mirva: the show engine's one executable.
//
//   mirva [-console] [-fullscreen] [-usedfiles]   play the show (run in data/)
//   mirva check SCRIPT                            load and validate a script
//   mirva render SCRIPT --out DIR [...]           render frames offline
//   mirva render SCRIPT --video FILE.mp4 [...]    render a video file offline
//   mirva play SCRIPT [...]                       play a script in a window, reload on save
//   mirva inspect FILE [...]                      facts about a data file
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/check.h"
#include "app/command_line.h"
#include "app/file_facts.h"
#include "app/play.h"
#include "app/render.h"
#include "app/show_window.h"
#include "io/console.h"

namespace {

constexpr const char* kUsage =
    "usage: mirva [-console] [-fullscreen] [-usedfiles]\n"
    "       mirva check SCRIPT\n"
    "       mirva render SCRIPT --out DIR [--frames N] [--fps F] [--size WxH] [--wav FILE]\n"
    "       mirva render SCRIPT --video FILE.mp4 [--frames N] [--fps F] [--size WxH] [--wav FILE]\n"
    "       mirva render SCRIPT --stats [--frames N] [--fps F] [--size WxH]\n"
    "       mirva play SCRIPT [--at TIME] [--size WxH] [--fullscreen] [--watch]\n"
    "       mirva inspect FILE [options]\n";

int dispatch(const std::vector<std::string>& args)
{
    if (!args.empty()) {
        const std::string& command = args[0];
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (command == "inspect")
            return mirva::inspect(rest);
        if (command == "check")
            return mirva::check(rest);
        if (command == "render")
            return mirva::render(rest);
        if (command == "play")
            return mirva::play(rest);
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (command[0] != '-') {
            std::fprintf(stderr, "mirva: unknown command '%s'\n%s", command.c_str(), kUsage);
            return 2;
        }
    }

    const mirva::CommandLine line(args);
    if (line.has("-console"))
        mirva::Console::open();
    return mirva::runShow(line);
}

}  // namespace

// Memory that runs out, or a size no container can hold, ends like every other failure:
// a message and exit code 255, never an abort.
int main(int argc, char** argv)
{
    std::set_new_handler([] { mirva::Console::fatal("out of memory"); });
    try {
        return dispatch(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::length_error& error) {
        mirva::Console::fatal(std::string("out of memory: ") + error.what());
    } catch (const std::bad_alloc&) {
        mirva::Console::fatal("out of memory");
    }
}
