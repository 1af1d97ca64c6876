#pragma once
// IncludePass: the first pass over a script, before the scanner sees it.
//
// Copies the script to a plain text, removing /* block comments */ (they do not nest; the
// first */ ends one, line feeds inside are dropped too) and replacing every directive
//     include "file"
// by the key-list text that the motion-file converter makes of the named file. Inside a
// comment a directive is ignored; `include` without a complete quoted name (no line feed,
// quote or parenthesis in the name) is copied as it is. `//` comments are not this pass's
// business: a /* or a directive after // still counts.
//
// Files are read the way a text-mode stream reads them: CR LF pairs become line feeds.
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace mirva {

class IncludePass {
public:
    // Appends the copy of `script` to `out`. `scriptPath` names the file the script came
    // from, so that a script including itself is told so.
    static void run(std::string_view script, std::string& out, const std::string& scriptPath = {});

    // Appends what a directive naming `path` inserts: records the path in the used-files
    // list, reads the file and converts it. Fatal "include file '%s' not found" when it
    // cannot be read. `echo` receives the characters the converter skips.
    static void include(const std::string& path, std::string& out, std::FILE* echo = stdout);
};

// A script or an included file may be this long at most; a longer one is refused before
// it is read, since every pass over it holds its text whole.
inline constexpr std::size_t kLargestScriptFile = 16u << 20;

// Reads a whole file as text (CR LF becomes LF); false when it cannot be read. A file
// longer than kLargestScriptFile is fatal, naming it.
bool readTextFile(const std::string& path, std::string& text);

}  // namespace mirva
