#include "app/file_facts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "app/file_facts_lightwave.h"
#include "io/console.h"
#include "io/phile.h"
#include "io/surface.h"
#include "script/include_pass.h"
#include "platform/sound/module_info.h"

namespace mirva {

namespace {

constexpr const char* kUsage = "usage: mirva inspect FILE [options]\n"
                               "  IMAGE.png|IMAGE.tga [--raw FILE]  size; decoded pixels as raw 8-bit RGBA\n"
                               "  MOTION.mot                        the key-list text a script's include inserts\n"
                               "  MODULE.mod|.xm|.s3m|.it           format, channels, orders, patterns, instruments, length\n"
                               "  OBJECT.lwo                        points, triangles, surfaces, vertex maps\n"
                               "  SCENE.lws [--at SECONDS]          every item with its parent and world matrix\n";

int usage(const std::string& problem)
{
    std::fprintf(stderr, "mirva inspect: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

bool hasEnding(const std::string& name, const std::string& ending)
{
    if (name.size() < ending.size())
        return false;
    for (std::size_t i = 0; i < ending.size(); ++i) {
        const char c = name[name.size() - ending.size() + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != ending[i])
            return false;
    }
    return true;
}

void writeRaw(const Surface& image, const std::string& path)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()) * 4);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.pixel(x, y);
            bytes.insert(bytes.end(), {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                       static_cast<unsigned char>(p), static_cast<unsigned char>(p >> 24)});
        }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size() || std::fflush(out.get()) != 0)
        Console::fatal("mirva inspect: couldn't write '" + path + "'");
}

int inspectImage(const std::string& name, const std::vector<std::string>& options)
{
    std::string raw;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] == "--raw" && i + 1 < options.size())
            raw = options[++i];
        else
            return usage("unknown option '" + options[i] + "' for an image");
    }
    const Surface image(name);
    std::printf("image: %s\nwidth: %d\nheight: %d\n", name.c_str(), image.width(), image.height());
    std::fflush(stdout);
    if (!raw.empty())
        writeRaw(image, raw);
    return 0;
}

// Prints exactly what `include "name"` puts into a script; characters the converter
// skips go to the error stream, so the standard output is that text alone.
int inspectMotion(const std::string& name, const std::vector<std::string>& options)
{
    if (!options.empty())
        return usage("unknown option '" + options[0] + "' for a motion file");
    std::string text;
    IncludePass::include(name, text, stderr);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return 0;
}

// Motion files are known by their first word whatever their name.
bool isMotionFile(const std::string& name)
{
    PhileBlock bytes;
    return hasEnding(name, ".mot") || (Phile::tryLoad(name, bytes) && bytes.size() >= 4 &&
                                       std::string(bytes.begin(), bytes.begin() + 4) == "LWMO");
}

int inspectModule(const std::string& name, const std::vector<std::string>& options)
{
    if (!options.empty())
        return usage("unknown option '" + options[0] + "' for a module");
    const PhileBlock bytes = Phile::load(name);
    const std::optional<ModuleInfo> info = describeModule(bytes.data(), bytes.size());
    if (!info)
        Console::fatal("mirva inspect: '" + name + "' is no MOD, XM, S3M or IT module");
    std::printf("module: %s\ntitle: %s\nformat: %s (%s)\nchannels: %d\norders: %d\npatterns: %d\n"
                "instruments: %d\nsamples: %d\nlength: %d orders, %.2f seconds\n",
                name.c_str(), info->title.c_str(), info->format.c_str(), info->formatName.c_str(), info->channels,
                info->orders, info->patterns, info->instruments, info->samples, info->orders, info->seconds);
    return 0;
}

int inspectObjectFile(const std::string& name, const std::vector<std::string>& options)
{
    if (!options.empty())
        return usage("unknown option '" + options[0] + "' for an object");
    inspectObject(name);
    return 0;
}

int inspectSceneFile(const std::string& name, const std::vector<std::string>& options)
{
    float seconds = 0;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] != "--at" || i + 1 == options.size())
            return usage("unknown option '" + options[i] + "' for a scene");
        char* end = nullptr;
        const std::string& text = options[++i];
        seconds = std::strtof(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(seconds))
            return usage("--at needs a time in seconds, not '" + text + "'");
    }
    inspectScene(name, seconds);
    return 0;
}

}  // namespace

int inspect(const std::vector<std::string>& args)
{
    if (args.empty())
        return usage("no file given");
    const std::string& name = args[0];
    const std::vector<std::string> options(args.begin() + 1, args.end());
    for (const char* ending : {".png", ".tga", ".jpg", ".jpeg"})
        if (hasEnding(name, ending))
            return inspectImage(name, options);
    if (isMotionFile(name))
        return inspectMotion(name, options);
    if (hasEnding(name, ".lwo"))
        return inspectObjectFile(name, options);
    if (hasEnding(name, ".lws"))
        return inspectSceneFile(name, options);
    for (const char* ending : {".mod", ".xm", ".s3m", ".it"})
        if (hasEnding(name, ending))
            return inspectModule(name, options);
    return usage("don't know what kind of file '" + name + "' is");
}

}  // namespace mirva
