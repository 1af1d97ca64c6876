// The vs.1.1 assembler: tokens as Direct3D lays them out for every operand form, and the
// messages for bad text. The show's committed shaders are kept in
// step with their text by the committed-data test.
#include "tools/vs_assembler.h"

#include <bit>

#include <gtest/gtest.h>

#include "platform/d3d8/vs11.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

TEST(VsAssembler, TokensOfEachOperandForm)
{
    const std::vector<DWORD> tokens = assembleVertexShader("vs.1.1   ; version\n"
                                                           "\n"
                                                           "// a comment line\n"
                                                           "m4x4 oPos, v0, c0\n"
                                                           "mov r1.xz, -c[a0.x + 7].wzyx\n"
                                                           "MOV oD0, r11.y\n"
                                                           "mad oT7.w, v15.xy, c95, -r0\n"
                                                           "mov a0.x, r2.x\n"
                                                           "def c3, 1.5, -2, 0, 1e-3\n"
                                                           "mov oFog, c[a0.x]\n"
                                                           "mov oPts.x, c[4 + a0.x]\n"
                                                           "mov oD1, v1\n",
                                                           "t.vsh");
    const std::vector<DWORD> expected = {
        0xFFFE0101,
        0x00000014, 0xC00F0000, 0x90E40000, 0xA0E40000,  // m4x4: oPos (rastout 0), v0, c0
        0x00000001, 0x80050001, 0xA11B2007,              // r1.xz; -c[a0.x + 7].wzyx (negate, relative)
        0x00000001, 0xD00F0000, 0x8055000B,              // oD0 (attrout 0), r11.yyyy
        0x00000004, 0xE0080007, 0x9054000F, 0xA0E4005F, 0x81E40000,  // oT7.w, v15.xyyy, c95, -r0
        0x00000001, 0xB0010000, 0x80000002,              // a0.x, r2.xxxx
        0x00000051, 0xA00F0003, std::bit_cast<DWORD>(1.5f), std::bit_cast<DWORD>(-2.0f), 0,
        std::bit_cast<DWORD>(1e-3f),
        0x00000001, 0xC00F0001, 0xA0E42000,  // oFog, c[a0.x]
        0x00000001, 0xC0010002, 0xA0E42004,  // oPts.x, c[a0.x + 4]
        0x00000001, 0xD00F0001, 0x90E40001,  // oD1, v1
        0x0000FFFF,
    };
    EXPECT_EQ(tokens, expected);
    // The layer reads back what the assembler wrote.
    vs11::Program program;
    std::string error;
    ASSERT_TRUE(vs11::parseFunction(tokens.data(), tokens.size(), program, error)) << error;
    EXPECT_EQ(std::pair(program.instructions.size(), program.tokenCount), std::pair(9ul, tokens.size()));
}

TEST(VsAssembler, BadTextEndsInAMessageWithTheLine)
{
    const std::pair<const char*, const char*> lines[] = {
        {"frob r0, r1", "unknown instruction 'frob'"},     {"add r0, r1", "add takes 3 operands, not 2"},
        {"mov r12, r1", "register 'r12' does not exist"}, {"mov v0, r1", "cannot write 'v0'"},
        {"mov r0, oPos", "cannot read 'oPos'"},           {"mov r0, r1.xq", "bad swizzle '.xq'"},
        {"mov r0.yx, r1", "bad write mask '.yx' (components in x, y, z, w order, each once)"},
        {"mov -r0, r1", "a destination cannot be negated: '-r0'"},
        {"add a0.x, r0, r1", "a0 is written only by 'mov a0.x, ...'"},
        {"mov r0, c[a0.x - 2]", "bad constant 'a0.x-2'"}, {"mov r0, c96", "register 'c96' does not exist"},
        {"m4x4 r0, v0, r9", "m4x4 reads 4 registers from 'r9', past the last one"},
        {"def r0, 1, 2, 3, 4", "def writes a constant c0..c95, not 'r0'"},
        {"def c0, 1, two, 3, 4", "bad number 'two'"},     {"mov r0, , r1", "mov takes 2 operands, not 3"},
    };
    for (const auto& [line, message] : lines)
        EXPECT_FATAL(assembleVertexShader("vs.1.1\n" + std::string(line) + "\n", "bad.vsh"),
                     "vsa: bad.vsh line 2: " + std::string(message));
    EXPECT_FATAL(assembleVertexShader("ps.1.1\nmov r0, r1\n", "p.vsh"),
                 "vsa: p.vsh line 1: the shader must start with 'vs.1.1', not 'ps.1.1'");
    EXPECT_FATAL(assembleVertexShader("; nothing\n", "empty.vsh"), "vsa: empty.vsh: no 'vs.1.1' line");
}

}  // namespace
}  // namespace mirva
