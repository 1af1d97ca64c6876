// mirva-vsa: assembles a vs.1.1 vertex shader text into a .vso file.
//   mirva-vsa shaders/cartoon.vsh shaders/cartoon.vso
#include <cstdio>
#include <fstream>
#include <string>

#include "io/console.h"
#include "io/phile.h"
#include "tools/vs_assembler.h"

int main(int argc, char** argv)
{
    using namespace mirva;
    if (argc != 3) {
        std::fprintf(stderr, "usage: mirva-vsa SHADER.vsh OUTPUT.vso\n");
        return 2;
    }
    const PhileBlock source = Phile::load(argv[1]);
    const std::vector<DWORD> tokens = assembleVertexShader(std::string(source.begin(), source.end()), argv[1]);
    const std::vector<unsigned char> bytes = vertexShaderFileBytes(tokens);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        Console::fatal(std::string("vsa: couldn't write '") + argv[2] + "'");
    return 0;
}
