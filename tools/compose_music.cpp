// mirva_compose_music FILE: writes the show's small test tune (tools/pulse_music.h).
#include <cstdio>

#include "tools/pulse_music.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: mirva_compose_music FILE.mod\n", stderr);
        return 2;
    }
    mirva::composePulse().write(argv[1]);
    return 0;
}
