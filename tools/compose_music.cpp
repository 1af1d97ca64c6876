// mirva_compose_music [--divido] FILE: writes the show's small test tune
// (tools/pulse_music.h) or, with --divido, the show's music (tools/divido_music.h).
#include <cstdio>
#include <string>

#include "tools/divido_music.h"
#include "tools/pulse_music.h"

int main(int argc, char** argv)
{
    const bool divido = argc == 3 && std::string(argv[1]) == "--divido";
    if (argc != 2 && !divido) {
        std::fputs("usage: mirva_compose_music [--divido] FILE.mod\n", stderr);
        return 2;
    }
    (divido ? mirva::composeDivido() : mirva::composePulse()).write(argv[argc - 1]);
    return 0;
}
