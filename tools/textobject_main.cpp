// mirva-textobject: extrudes a line of text in a TrueType font into a LightWave object.
//   mirva-textobject FONT.ttf TEXT OUTPUT.lwo [--height H] [--depth D] [--flatness F]
//   mirva-textobject --data DATA_DIR FONT_DIR      the show's text objects
// Prints the object's points and polygons, or each file written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/text_object.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: mirva-textobject FONT.ttf TEXT OUTPUT.lwo [--height H] [--depth D] [--flatness F]\n"
                         "       mirva-textobject --data DATA_DIR FONT_DIR\n");
    return 2;
}

bool number(const char* text, float& value)
{
    char* end = nullptr;
    const float parsed = std::strtof(text, &end);
    if (end == text || *end != '\0')
        return false;
    value = parsed;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace mirva;
    if (argc == 4 && std::string(argv[1]) == "--data") {
        for (const std::string& file : writeTextObjectData(argv[2], argv[3]))
            std::printf("%s/%s\n", argv[2], file.c_str());
        return 0;
    }
    if (argc < 4 || argc % 2 != 0)
        return usage();
    TextObjectDesc desc{.fontFile = argv[1], .text = argv[2]};
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        float* target = option == "--height" ? &desc.height
                        : option == "--depth" ? &desc.depth
                        : option == "--flatness" ? &desc.flatness
                                                 : nullptr;
        if (!target || !number(argv[i + 1], *target))
            return usage();
    }
    const ObjectWriter object = makeTextObject(desc);
    object.write(argv[3]);
    std::printf("%s: %d points, %d polygons\n", argv[3], object.pointCount(), object.polygonCount());
    return 0;
}
