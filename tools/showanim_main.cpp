// mirva-showanim: writes the show's animations into a data folder.
//   mirva-showanim DATA_DIR
// Prints each file written.
#include <cstdio>

#include "tools/show_anim.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mirva-showanim DATA_DIR\n");
        return 2;
    }
    for (const std::string& file : mirva::writeShowAnimations(argv[1]))
        std::printf("%s/%s\n", argv[1], file.c_str());
    return 0;
}
