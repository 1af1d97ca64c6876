// mirva-show3d: writes the show's 3D data (shade ramp, objects, scenes) into a data folder.
//   mirva-show3d DATA_DIR
// Prints each file written.
#include <cstdio>

#include "tools/show3d.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mirva-show3d DATA_DIR\n");
        return 2;
    }
    for (const std::string& file : mirva::writeShow3dData(argv[1]))
        std::printf("%s/%s\n", argv[1], file.c_str());
    return 0;
}
