#pragma once
// The fuzz targets: one entry point per kind of input the program reads, each taking the
// bytes of one file. The libFuzzer harnesses (fuzz/*_fuzzer.cpp) and the corpus replay
// test call the same functions.
//
// A clean fatal message is how the program refuses a bad file, so an entry point that
// ends in one returns `Outcome::Refused` instead of ending the process: while it runs,
// the console's fatal handler throws a private exception that only `runGuarded` catches.
// Everything else stays a finding: a crash, a sanitizer report, a hang, and any other
// exception (std::bad_alloc included), which leaves the entry point as it came.
//
// Inputs the readers take by name are written to a scratch folder of the process first
// (made on first use, removed at exit); the script target also runs in that folder, with
// a small module and motion file beside the script, as `mirva check` runs in data/.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace mirva::fuzz {

enum class Outcome { Loaded, Refused };

using Bytes = std::span<const std::uint8_t>;

// A script loaded and checked as `mirva check` does: no window, no sound output.
Outcome script(Bytes input);
// An LWO2 or LWOB object, then the mesh steps on it (adjacency; for small manifold
// meshes also one subdivision step, curvature and tangents).
Outcome object(Bytes input);
// An LWS scene, evaluated at a few times.
Outcome scene(Bytes input);
// An image file: PNG when it starts with the PNG signature, else TGA.
Outcome image(Bytes input);
// A LightWave motion file converted to script key lists.
Outcome motion(Bytes input);
// A font image (PNG or TGA, as for `image`): its marker rows read and its glyphs packed
// into the texture image. Without a graphics device the load stops, cleanly, where the
// texture would be created.
Outcome font(Bytes input);
// An FLC animation loaded as FlicDecompress loads it, then played round its ring frame and
// on (frames of up to 1024 x 1024 pixels; larger ones only load).
Outcome flic(Bytes input);

struct Target {
    std::string_view name;   // also the folder of its corpus: fuzz/corpus/<name>
    Outcome (*run)(Bytes input);
};

// Every target above, in the order of that list.
std::span<const Target> targets();
// The target of that name, or null.
const Target* findTarget(std::string_view name);

// Runs `action` with the throwing fatal handler installed (the previous one is put back
// afterwards): Refused when it ended in a fatal message, else Loaded. Other exceptions
// pass through.
Outcome runGuarded(const std::function<void()>& action);

}  // namespace mirva::fuzz
