#include "fuzz/fuzz_targets.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/bitmap_font.h"
#include "io/console.h"
#include "io/flic_player.h"
#include "io/surface.h"
#include "lightwave/lw_object.h"
#include "lightwave/lw_scene.h"
#include "lightwave/motion_file_converter.h"
#include "mesh/curvature.h"
#include "mesh/subdivision.h"
#include "mesh/tangents.h"
#include "mesh/topology.h"
#include "platform/sound/sound_output.h"
#include "player/script_player.h"

namespace mirva::fuzz {

namespace {

namespace fs = std::filesystem;

// What the fatal handler throws; private, so no code under test can catch it by type.
struct FatalStop {
    std::string message;
};

// The fatal message of a font load that got as far as creating its texture.
constexpr std::string_view kNoDevice = "DXDriver - screen mode must be set before drawing";

// The mesh steps after adjacency walk rings of neighbours many times over; bigger meshes
// would make an input slow without reaching other code.
constexpr std::size_t kMeshStepTriangles = 2000;

// Animations are played into frames of at most this many pixels, for at most this many
// frames (and round the ring): beyond that an input only takes time.
constexpr std::size_t kFlicPixels = 1 << 20;
constexpr int kFlicFrames = 64;

// A motion file beside every fuzzed script, for `include "motion.mot"`.
constexpr const char* kMotionFile = "LWMO\n3\nNumChannels 2\n"
                                    "Channel 0\n{ Envelope\n  2\n  Key 0 0 0 0 0 0 0 0 0\n"
                                    "  Key 1 1 3 0 0 0 0 0 0\n  Behaviors 1 2\n}\n"
                                    "Channel 1\n{ Envelope\n  1\n  Key 2 0.5 4 0 0 0 0 0 0\n"
                                    "  Behaviors 4 1\n}\n";

void writeBytes(const fs::path& path, Bytes bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!file || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
        std::abort();   // the harness itself is broken, not the code under test
    }
}

// The process's scratch folder: made on first use, removed at normal exit.
class Scratch {
public:
    static Scratch& get()
    {
        static Scratch scratch;
        return scratch;
    }

    const fs::path& path() const { return path_; }

    // Writes `bytes` as the file `name` in the folder and returns its full path.
    std::string write(const std::string& name, Bytes bytes) const
    {
        const fs::path file = path_ / name;
        writeBytes(file, bytes);
        return file.string();
    }

private:
    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "mirva-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("fuzz: mkdtemp");
            std::abort();
        }
        path_ = pattern;
        // What the show's scripts name beside them: the test tune and a motion file.
        std::error_code error;
        fs::create_directory(path_ / "music", error);
        fs::copy_file(fs::path(MIRVA_DATA_DIR) / "music/pulse.mod", path_ / "music/pulse.mod", error);
        const std::string_view motion = kMotionFile;
        writeBytes(path_ / "motion.mot", {reinterpret_cast<const std::uint8_t*>(motion.data()), motion.size()});
    }
    ~Scratch()
    {
        std::error_code error;
        fs::remove_all(path_, error);
    }

    fs::path path_;
};

// Makes `dir` the working directory until destroyed.
class InFolder {
public:
    explicit InFolder(const fs::path& dir) : previous_(fs::current_path()) { fs::current_path(dir); }
    ~InFolder()
    {
        std::error_code error;
        fs::current_path(previous_, error);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    fs::path previous_;
};

bool startsWithPngSignature(Bytes input)
{
    static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return input.size() >= kSignature.size() && std::memcmp(input.data(), kSignature.data(), kSignature.size()) == 0;
}

// The scratch file of an image input, named for the reader that its signature picks.
std::string imageFile(const char* stem, Bytes input)
{
    return Scratch::get().write(std::string(stem) + (startsWithPngSignature(input) ? ".png" : ".tga"), input);
}

std::string_view asText(Bytes input)
{
    return {reinterpret_cast<const char*>(input.data()), input.size()};
}

Outcome runGuarded(const std::function<void()>& action, std::string* message)
{
    Console::Handler previous =
        Console::setFatalHandler([](const std::string& text) { throw FatalStop{text}; });
    struct Restore {
        Console::Handler& handler;
        ~Restore() { Console::setFatalHandler(std::move(handler)); }
    } restore{previous};
    try {
        action();
    } catch (FatalStop& stop) {
        if (message)
            *message = std::move(stop.message);
        return Outcome::Refused;
    }
    return Outcome::Loaded;
}

constexpr std::array<Target, 7> kTargets = {{
    {"script", script},
    {"object", object},
    {"scene", scene},
    {"image", image},
    {"motion", motion},
    {"font", font},
    {"flic", flic},
}};

}  // namespace

Outcome runGuarded(const std::function<void()>& action)
{
    return runGuarded(action, nullptr);
}

Outcome script(Bytes input)
{
    const Scratch& scratch = Scratch::get();
    scratch.write("script.txt", input);
    const InFolder inScratch(scratch.path());
    return runGuarded([] {
        SoundOutput::choose(SoundOutput::Kind::Offline);
        const ScriptPlayer player("script.txt");
        // What `mirva check` prints of it.
        (void)player.timeSource().describe();
    });
}

Outcome object(Bytes input)
{
    return runGuarded([input] {
        LWObject loaded = LWObject::Parse("fuzz.lwo", input.data(), input.size());
        CalculateAdjacency(loaded);
        if (loaded.nonManifold == 0 && loaded.triangles.size() <= kMeshStepTriangles) {
            Subdivide(loaded, 1);
            CalculateCurvature(loaded);
            InterpolateTangents(loaded, 2.0f);
        }
    });
}

Outcome scene(Bytes input)
{
    return runGuarded([input] {
        LWScene loaded = LWScene::Parse("fuzz.lws", std::string(asText(input)));
        for (const float seconds : {0.5f, 7.25f, -3.0f, 1.0e4f}) {
            loaded.Update(seconds);
            loaded.placeEngineLights();
        }
    });
}

Outcome image(Bytes input)
{
    const std::string file = imageFile("image", input);
    return runGuarded([&file] {
        const Surface surface(file);
        // The last pixel is read, so pixels fewer than the size claims are reported.
        if (!surface.empty()) {
            volatile std::uint32_t last = surface.pixel(surface.width() - 1, surface.height() - 1);
            (void)last;
        }
    });
}

Outcome motion(Bytes input)
{
    return runGuarded([input] {
        std::string out;
        MotionFileConverter::Convert(asText(input), out, nullptr);
    });
}

Outcome font(Bytes input)
{
    const std::string file = imageFile("font", input);
    std::string message;
    const Outcome outcome = runGuarded([&file] { const BitmapFont loaded(file); }, &message);
    // Every step before the texture ran: the font image was read and packed.
    return outcome == Outcome::Refused && message == kNoDevice ? Outcome::Loaded : outcome;
}

Outcome flic(Bytes input)
{
    return runGuarded([input] {
        FlicPlayer player;
        player.load("fuzz.flc", PhileBlock(input.begin(), input.end()));
        const auto area = static_cast<std::size_t>(player.width()) * static_cast<std::size_t>(player.height());
        if (!player.loaded() || area > kFlicPixels)
            return;
        std::vector<std::uint16_t> pixels(area);
        const int frames = std::min(player.frameCount(), kFlicFrames) + 2;
        for (int i = 0; i < frames; ++i)
            player.decodeFrame(pixels.data(), player.width() * 2);
    });
}

std::span<const Target> targets()
{
    return kTargets;
}

const Target* findTarget(std::string_view name)
{
    for (const Target& target : kTargets)
        if (target.name == name)
            return &target;
    return nullptr;
}

}  // namespace mirva::fuzz
