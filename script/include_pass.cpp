#include "script/include_pass.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "io/console.h"
#include "io/phile.h"
#include "lightwave/motion_file_converter.h"

namespace mirva {

namespace {

// Length of a complete directive at the start of `text` (0 for none) and its file name.
std::size_t matchInclude(std::string_view text, std::string_view& name)
{
    constexpr std::string_view kWord = "include";
    if (!text.starts_with(kWord))
        return 0;
    std::size_t p = kWord.size();
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
        ++p;
    if (p >= text.size() || text[p] != '"')
        return 0;
    const std::size_t nameStart = ++p;
    while (p < text.size() && text[p] != '"' && text[p] != '\n' && text[p] != '(' && text[p] != ')')
        ++p;
    if (p >= text.size() || text[p] != '"')
        return 0;
    name = text.substr(nameStart, p - nameStart);
    return p + 1;
}

}  // namespace

bool readTextFile(const std::string& path, std::string& text)
{
    std::error_code failure;
    if (const std::uintmax_t size = std::filesystem::file_size(path, failure); !failure && size > kLargestScriptFile)
        Console::error("'%s' is %ju bytes; a script or an included file may have at most %zu", excerpt(path).c_str(),
                       size, kLargestScriptFile);
    PhileBlock bytes;
    if (!Phile::tryLoad(path, bytes))
        return false;
    text.clear();
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            text += static_cast<char>(bytes[i]);
    return true;
}

void IncludePass::include(const std::string& path, std::string& out, std::FILE* echo)
{
    Phile::record(path);
    std::string text;
    if (!readTextFile(path, text))
        Console::fatal("include file '" + excerpt(path) + "' not found");
    MotionFileConverter::Convert(text, out, echo, path);
}

void IncludePass::run(std::string_view script, std::string& out, const std::string& scriptPath)
{
    bool inComment = false;
    std::size_t copied = 0;  // start of the text not yet copied (outside comments)
    std::size_t p = 0;
    const auto flush = [&](std::size_t end) {
        if (!inComment)
            out.append(script.substr(copied, end - copied));
    };
    while (p < script.size()) {
        const char c = script[p];
        std::string_view name;
        std::size_t length = 0;
        if (c == 'i' && (length = matchInclude(script.substr(p), name)) > 0) {
            flush(p);
            if (!inComment) {
                const std::string path(name);
                std::error_code failure;
                if (!scriptPath.empty() && std::filesystem::equivalent(path, scriptPath, failure))
                    Console::error("include recurses: '%s' includes '%s', which is the script itself",
                                   excerpt(scriptPath).c_str(), excerpt(path).c_str());
                include(path, out);
            }
            p += length;
            copied = p;
        } else if (c == '/' && p + 1 < script.size() && script[p + 1] == '*') {
            flush(p);
            inComment = true;
            p += 2;
            copied = p;
        } else if (c == '*' && p + 1 < script.size() && script[p + 1] == '/') {
            // Outside a comment */ is copied, and its slash cannot start a /*.
            p += 2;
            if (inComment) {
                inComment = false;
                copied = p;
            }
        } else {
            ++p;
        }
    }
    flush(p);
}

}  // namespace mirva
