// mirva-fontmaker: renders a TrueType font into a font image with its marker rows.
//   mirva-fontmaker FONT.ttf SIZE OUTPUT.png [--first N] [--last N] [--extra-advance N] [--glow N]
// Prints the font height (the image height minus the two marker rows).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "io/console.h"
#include "tools/font_maker.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: mirva-fontmaker FONT.ttf SIZE OUTPUT.png [--first N] [--last N] "
                         "[--extra-advance N] [--glow N]\n");
    return 2;
}

bool number(const char* text, int& value)
{
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < -100000 || parsed > 100000)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace mirva;
    if (argc < 4 || argc % 2 != 0)
        return usage();
    FontSpec desc;
    desc.fontFile = argv[1];
    if (!number(argv[2], desc.pixelSize))
        return usage();
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        int* target = option == "--first" ? &desc.first
                      : option == "--last" ? &desc.last
                      : option == "--extra-advance" ? &desc.extraAdvance
                      : option == "--glow" ? &desc.glow
                                             : nullptr;
        if (!target || !number(argv[i + 1], *target))
            return usage();
    }
    const Surface image = makeFontImage(desc);
    image.savePng(argv[3]);
    std::printf("%s: font height %d, %d x %d pixels\n", argv[3], image.height() - 2, image.width(), image.height());
    return 0;
}
