#pragma once
// Direct3D 8 vertex shaders, version 1.1: the token stream and the vertex declaration.
//
// A compiled shader (a .vso file) is a stream of 32-bit tokens: the version token
// 0xFFFE0101, instructions, and the end token 0x0000FFFF. An instruction token holds
// its opcode in the low 16 bits (bit 31 clear); its parameter tokens follow, the
// destination first (bit 31 set in each). Comment tokens (opcode 0xFFFE, length in bits
// 16..30) carry data that is skipped. The opcode table below is shared by the layer's
// translation to GLSL and by the assembler in tools/, so both speak the same language.
//
// The declaration says where each input register v0..v15 comes from in vertex stream 0
// (its offset and data type) and may load constants (D3DVSD_* tokens).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/d3d8/d3d8_types.h"

namespace mirva {

// ---------------------------------------------------------------------------- declaration tokens
constexpr DWORD D3DVSD_TOKEN_NOP = 0;
constexpr DWORD D3DVSD_TOKEN_STREAM = 1;
constexpr DWORD D3DVSD_TOKEN_STREAMDATA = 2;
constexpr DWORD D3DVSD_TOKEN_TESSELLATOR = 3;
constexpr DWORD D3DVSD_TOKEN_CONSTMEM = 4;
constexpr DWORD D3DVSD_TOKEN_EXT = 5;
constexpr DWORD D3DVSD_TOKEN_END = 7;
constexpr DWORD D3DVSD_TOKENTYPESHIFT = 29;
constexpr DWORD D3DVSD_DATATYPESHIFT = 16;
constexpr DWORD D3DVSD_SKIPCOUNTSHIFT = 16;
constexpr DWORD D3DVSD_CONSTCOUNTSHIFT = 25;

enum D3DVSDT : DWORD {
    D3DVSDT_FLOAT1 = 0,
    D3DVSDT_FLOAT2 = 1,
    D3DVSDT_FLOAT3 = 2,
    D3DVSDT_FLOAT4 = 3,
    D3DVSDT_D3DCOLOR = 4,  // four bytes blue, green, red, alpha read as (r, g, b, a) in 0..1
    D3DVSDT_UBYTE4 = 5,
    D3DVSDT_SHORT2 = 6,
    D3DVSDT_SHORT4 = 7,
};

constexpr DWORD D3DVSD_STREAM(DWORD stream) { return D3DVSD_TOKEN_STREAM << D3DVSD_TOKENTYPESHIFT | stream; }
constexpr DWORD D3DVSD_REG(DWORD reg, DWORD type)
{
    return D3DVSD_TOKEN_STREAMDATA << D3DVSD_TOKENTYPESHIFT | type << D3DVSD_DATATYPESHIFT | reg;
}
constexpr DWORD D3DVSD_SKIP(DWORD count)
{
    return D3DVSD_TOKEN_STREAMDATA << D3DVSD_TOKENTYPESHIFT | 0x10000000u | count << D3DVSD_SKIPCOUNTSHIFT;
}
// Followed by count x 4 floats.
constexpr DWORD D3DVSD_CONST(DWORD address, DWORD count)
{
    return D3DVSD_TOKEN_CONSTMEM << D3DVSD_TOKENTYPESHIFT | count << D3DVSD_CONSTCOUNTSHIFT | address;
}
constexpr DWORD D3DVSD_END() { return 0xFFFFFFFFu; }

constexpr DWORD D3DVS_VERSION(DWORD major, DWORD minor) { return 0xFFFE0000u | major << 8 | minor; }

namespace vs11 {

constexpr DWORD kVersion = 0xFFFE0101u;
constexpr DWORD kVersion10 = 0xFFFE0100u;
constexpr DWORD kEnd = 0x0000FFFFu;
constexpr DWORD kCommentOpcode = 0xFFFE;
constexpr DWORD kCommentLengthShift = 16;
constexpr DWORD kCommentLengthMask = 0x7FFF;

constexpr int kTemps = 12;
constexpr int kInputs = 16;
constexpr int kConstants = 96;
constexpr int kTexCoordOutputs = 8;

// ---------------------------------------------------------------------------- instructions
enum Opcode : DWORD {
    NOP = 0,
    MOV = 1,
    ADD = 2,
    SUB = 3,
    MAD = 4,
    MUL = 5,
    RCP = 6,
    RSQ = 7,
    DP3 = 8,
    DP4 = 9,
    MIN = 10,
    MAX = 11,
    SLT = 12,
    SGE = 13,
    EXP = 14,
    LOG = 15,
    LIT = 16,
    DST = 17,
    FRC = 19,
    M4x4 = 20,
    M4x3 = 21,
    M3x4 = 22,
    M3x3 = 23,
    M3x2 = 24,
    EXPP = 78,
    LOGP = 79,
    DEF = 81,  // destination constant, then four floats
};

struct OpcodeInfo {
    Opcode opcode;
    const char* name;  // as written in assembly
    int sources;       // source parameters after the destination
    bool hasDest;
};

// How many consecutive registers a matrix macro reads from its second source (1 for
// every other instruction).
int macroRows(Opcode opcode);

// Every instruction of vs.1.1, in opcode order.
const std::vector<OpcodeInfo>& opcodes();
const OpcodeInfo* findOpcode(DWORD opcode);
const OpcodeInfo* findOpcode(std::string_view name);

// ---------------------------------------------------------------------------- parameters
enum RegisterType : DWORD {
    REG_TEMP = 0,       // r0..r11
    REG_INPUT = 1,      // v0..v15
    REG_CONST = 2,      // c0..c95
    REG_ADDR = 3,       // a0
    REG_RASTOUT = 4,    // oPos (0), oFog (1), oPts (2)
    REG_ATTROUT = 5,    // oD0, oD1
    REG_TEXCRDOUT = 6,  // oT0..oT7
};
constexpr DWORD RASTOUT_POSITION = 0, RASTOUT_FOG = 1, RASTOUT_POINTSIZE = 2;

constexpr DWORD kParameterBit = 0x80000000u;
constexpr DWORD kRegisterNumberMask = 0x7FF;
constexpr DWORD kRegisterTypeShift = 28;
constexpr DWORD kRegisterTypeMask = 0x7u << kRegisterTypeShift;
constexpr DWORD kWriteMaskShift = 16;  // bits x, y, z, w
constexpr DWORD kWriteMaskAll = 0xF;
constexpr DWORD kSwizzleShift = 16;  // two bits per component, x first
constexpr DWORD kSwizzleIdentity = 0xE4;
constexpr DWORD kSourceModifierShift = 24;
constexpr DWORD kSourceModifierMask = 0xFu << kSourceModifierShift;
constexpr DWORD kSourceNegate = 1;
constexpr DWORD kRelativeAddressBit = 1u << 13;  // c[a0.x + n]

struct Parameter {
    RegisterType type = REG_TEMP;
    int number = 0;
    DWORD writeMask = kWriteMaskAll;  // destinations
    DWORD swizzle = kSwizzleIdentity; // sources: component k reads (swizzle >> 2k) & 3
    bool negate = false;
    bool relative = false;
};

constexpr DWORD destinationToken(const Parameter& p)
{
    return kParameterBit | static_cast<DWORD>(p.type) << kRegisterTypeShift | p.writeMask << kWriteMaskShift |
           static_cast<DWORD>(p.number);
}
constexpr DWORD sourceToken(const Parameter& p)
{
    return kParameterBit | static_cast<DWORD>(p.type) << kRegisterTypeShift | p.swizzle << kSwizzleShift |
           (p.negate ? kSourceNegate << kSourceModifierShift : 0u) | (p.relative ? kRelativeAddressBit : 0u) |
           static_cast<DWORD>(p.number);
}

struct Instruction {
    const OpcodeInfo* info = nullptr;
    Parameter dest;
    Parameter source[3];
    float values[4] = {};  // DEF
};

struct Program {
    std::vector<Instruction> instructions;
    std::size_t tokenCount = 0;  // up to and including the end token
};

// Reads a function token stream of at most `available` tokens, checking every token:
// false with the reason in `error` when the stream is not a valid vs.1.1 shader.
bool parseFunction(const DWORD* tokens, std::size_t available, Program& program, std::string& error);

// The name of a register as written in assembly ("r3", "c[a0.x + 2]", "oPos", ...).
std::string registerName(const Parameter& p);

// ---------------------------------------------------------------------------- declaration
struct VertexElement {
    int reg = 0;
    D3DVSDT type = D3DVSDT_FLOAT4;
    UINT offset = 0;  // bytes into the vertex
};

struct Declaration {
    std::vector<VertexElement> elements;  // stream 0 only
    UINT stride = 0;                      // the bytes the declaration describes
    struct Constant {
        int reg = 0;
        float value[4] = {};
    };
    std::vector<Constant> constants;
};

UINT elementSize(D3DVSDT type);
bool parseDeclaration(const DWORD* tokens, std::size_t available, Declaration& declaration, std::string& error);

}  // namespace vs11
}  // namespace mirva
