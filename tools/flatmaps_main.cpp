// mirva-flatmaps: writes the images of the show's flat effects (flare, zoomer pattern,
// flower petal and middle) and of the painted objects (brush, environment) into a data
// folder.
//   mirva-flatmaps DATA_DIR
// Prints each file written.
#include <cstdio>

#include "tools/flat_maps.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mirva-flatmaps DATA_DIR\n");
        return 2;
    }
    for (const std::string& file : mirva::writeFlatMaps(argv[1]))
        std::printf("%s/%s\n", argv[1], file.c_str());
    return 0;
}
