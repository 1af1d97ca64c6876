#include "platform/d3d8/vs11.h"

#include <bit>
#include <cstdio>

namespace mirva::vs11 {

const std::vector<OpcodeInfo>& opcodes()
{
    static const std::vector<OpcodeInfo> table = {
        {NOP, "nop", 0, false}, {MOV, "mov", 1, true},   {ADD, "add", 2, true},   {SUB, "sub", 2, true},
        {MAD, "mad", 3, true},  {MUL, "mul", 2, true},   {RCP, "rcp", 1, true},   {RSQ, "rsq", 1, true},
        {DP3, "dp3", 2, true},  {DP4, "dp4", 2, true},   {MIN, "min", 2, true},   {MAX, "max", 2, true},
        {SLT, "slt", 2, true},  {SGE, "sge", 2, true},   {EXP, "exp", 1, true},   {LOG, "log", 1, true},
        {LIT, "lit", 1, true},  {DST, "dst", 2, true},   {FRC, "frc", 1, true},   {M4x4, "m4x4", 2, true},
        {M4x3, "m4x3", 2, true}, {M3x4, "m3x4", 2, true}, {M3x3, "m3x3", 2, true}, {M3x2, "m3x2", 2, true},
        {EXPP, "expp", 1, true}, {LOGP, "logp", 1, true}, {DEF, "def", 0, true},
    };
    return table;
}

const OpcodeInfo* findOpcode(DWORD opcode)
{
    for (const OpcodeInfo& info : opcodes())
        if (info.opcode == opcode)
            return &info;
    return nullptr;
}

const OpcodeInfo* findOpcode(std::string_view name)
{
    for (const OpcodeInfo& info : opcodes())
        if (name == info.name)
            return &info;
    return nullptr;
}

std::string registerName(const Parameter& p)
{
    const std::string n = std::to_string(p.number);
    switch (p.type) {
    case REG_TEMP: return "r" + n;
    case REG_INPUT: return "v" + n;
    case REG_CONST: return p.relative ? "c[a0.x + " + n + "]" : "c" + n;
    case REG_ADDR: return "a" + n;
    case REG_RASTOUT: return p.number == 0 ? "oPos" : p.number == 1 ? "oFog" : "oPts";
    case REG_ATTROUT: return "oD" + n;
    case REG_TEXCRDOUT: return "oT" + n;
    }
    return "?" + n;
}

namespace {

std::string tokenText(std::size_t index, DWORD token)
{
    char text[64];
    std::snprintf(text, sizeof text, "token %zu (0x%08X)", index, token);
    return text;
}

// The largest register number of each type, or -1 where the type cannot be used.
int registerLimit(RegisterType type)
{
    switch (type) {
    case REG_TEMP: return kTemps - 1;
    case REG_INPUT: return kInputs - 1;
    case REG_CONST: return kConstants - 1;
    case REG_ADDR: return 0;
    case REG_RASTOUT: return 2;
    case REG_ATTROUT: return 1;
    case REG_TEXCRDOUT: return kTexCoordOutputs - 1;
    }
    return -1;
}

bool decodeParameter(DWORD token, bool destination, Parameter& p, std::string& error)
{
    if (!(token & kParameterBit)) {
        error = "parameter expected";
        return false;
    }
    const DWORD type = (token & kRegisterTypeMask) >> kRegisterTypeShift;
    if (type > REG_TEXCRDOUT) {
        error = "unknown register type " + std::to_string(type);
        return false;
    }
    p.type = static_cast<RegisterType>(type);
    p.number = static_cast<int>(token & kRegisterNumberMask);
    if (p.number > registerLimit(p.type)) {
        error = "register " + registerName(p) + " does not exist";
        return false;
    }
    if (destination) {
        p.writeMask = token >> kWriteMaskShift & 0xF;
        if (p.writeMask == 0 || (token & 0x0FF00000u) || (token & kRelativeAddressBit)) {
            error = "bad destination " + registerName(p);
            return false;
        }
        if (p.type == REG_INPUT || p.type == REG_CONST) {
            error = "cannot write " + registerName(p);
            return false;
        }
        return true;
    }
    p.swizzle = token >> kSwizzleShift & 0xFF;
    const DWORD modifier = (token & kSourceModifierMask) >> kSourceModifierShift;
    if (modifier > kSourceNegate) {
        error = "unsupported source modifier on " + registerName(p);
        return false;
    }
    p.negate = modifier == kSourceNegate;
    p.relative = (token & kRelativeAddressBit) != 0;
    if (p.relative && p.type != REG_CONST) {
        error = "only constants can be addressed through a0: " + registerName(p);
        return false;
    }
    if (p.type != REG_TEMP && p.type != REG_INPUT && p.type != REG_CONST) {
        error = "cannot read " + registerName(p);
        return false;
    }
    return true;
}

}  // namespace

int macroRows(Opcode opcode)
{
    switch (opcode) {
    case M4x4:
    case M3x4: return 4;
    case M4x3:
    case M3x3: return 3;
    case M3x2: return 2;
    default: return 1;
    }
}

bool parseFunction(const DWORD* tokens, std::size_t available, Program& program, std::string& error)
{
    program = {};
    if (available == 0 || (tokens[0] != kVersion && tokens[0] != kVersion10)) {
        error = available == 0 ? "empty shader" : "not a vs.1.1 shader: " + tokenText(0, tokens[0]);
        return false;
    }
    std::size_t i = 1;
    while (true) {
        if (i >= available) {
            error = "no end token";
            return false;
        }
        const DWORD token = tokens[i];
        if (token == kEnd) {
            program.tokenCount = i + 1;
            return true;
        }
        const DWORD opcode = token & 0xFFFF;
        if (opcode == kCommentOpcode) {
            const std::size_t length = token >> kCommentLengthShift & kCommentLengthMask;
            if (length > available - i - 1) {
                error = "comment runs past the end: " + tokenText(i, token);
                return false;
            }
            i += 1 + length;
            continue;
        }
        const OpcodeInfo* info = findOpcode(opcode);
        if (!info || (token & kParameterBit)) {
            error = "unknown instruction " + tokenText(i, token);
            return false;
        }
        Instruction instruction;
        instruction.info = info;
        const std::size_t parameters = (info->hasDest ? 1 : 0) + static_cast<std::size_t>(info->sources) +
                                       (info->opcode == DEF ? 4 : 0);
        if (parameters > available - i - 1) {
            error = std::string(info->name) + " runs past the end";
            return false;
        }
        const std::size_t at = i;
        ++i;
        std::string problem;
        if (info->opcode == DEF) {
            // def loads a constant register with the four floats that follow.
            const DWORD dest = tokens[i++];
            if (!(dest & kParameterBit) || (dest & kRegisterTypeMask) >> kRegisterTypeShift != REG_CONST ||
                static_cast<int>(dest & kRegisterNumberMask) >= kConstants) {
                error = "def at " + tokenText(at, token) + ": the destination must be a constant c0..c95";
                return false;
            }
            instruction.dest.type = REG_CONST;
            instruction.dest.number = static_cast<int>(dest & kRegisterNumberMask);
            for (float& value : instruction.values)
                value = std::bit_cast<float>(tokens[i++]);
            program.instructions.push_back(instruction);
            continue;
        }
        if (info->hasDest && !decodeParameter(tokens[i++], true, instruction.dest, problem)) {
            error = std::string(info->name) + " at " + tokenText(at, token) + ": " + problem;
            return false;
        }
        for (int s = 0; s < info->sources; ++s)
            if (!decodeParameter(tokens[i++], false, instruction.source[s], problem)) {
                error = std::string(info->name) + " at " + tokenText(at, token) + ": " + problem;
                return false;
            }
        // The matrix macros read consecutive registers from their second source on.
        const int rows = macroRows(info->opcode);
        const Parameter& matrix = instruction.source[1];
        if (rows > 1 && !matrix.relative && matrix.number + rows - 1 > registerLimit(matrix.type)) {
            error = std::string(info->name) + " at " + tokenText(at, token) + ": reads past the last register from " +
                    registerName(matrix);
            return false;
        }
        if (instruction.dest.type == REG_ADDR && info->opcode != MOV) {
            error = std::string(info->name) + " at " + tokenText(at, token) + ": only mov writes a0";
            return false;
        }
        program.instructions.push_back(instruction);
    }
}

UINT elementSize(D3DVSDT type)
{
    switch (type) {
    case D3DVSDT_FLOAT1: return 4;
    case D3DVSDT_FLOAT2: return 8;
    case D3DVSDT_FLOAT3: return 12;
    case D3DVSDT_FLOAT4: return 16;
    case D3DVSDT_D3DCOLOR: return 4;
    case D3DVSDT_UBYTE4: return 4;
    case D3DVSDT_SHORT2: return 4;
    case D3DVSDT_SHORT4: return 8;
    }
    return 0;
}

bool parseDeclaration(const DWORD* tokens, std::size_t available, Declaration& declaration, std::string& error)
{
    declaration = {};
    DWORD stream = 0;
    for (std::size_t i = 0; i < available; ++i) {
        const DWORD token = tokens[i];
        if (token == D3DVSD_END())
            return true;
        const DWORD kind = token >> D3DVSD_TOKENTYPESHIFT;
        switch (kind) {
        case D3DVSD_TOKEN_NOP: break;
        case D3DVSD_TOKEN_STREAM:
            stream = token & 0xF;
            if (stream != 0) {
                error = "only vertex stream 0 exists";
                return false;
            }
            break;
        case D3DVSD_TOKEN_STREAMDATA:
            if (token & 0x10000000u) {
                declaration.stride += (token >> D3DVSD_SKIPCOUNTSHIFT & 0xF) * 4;
            } else {
                const DWORD type = token >> D3DVSD_DATATYPESHIFT & 0xF;
                const int reg = static_cast<int>(token & 0x1F);
                if (type > D3DVSDT_SHORT4 || reg >= kInputs) {
                    error = "bad stream data " + tokenText(i, token);
                    return false;
                }
                for (const VertexElement& e : declaration.elements)
                    if (e.reg == reg) {
                        error = "input v" + std::to_string(reg) + " declared twice";
                        return false;
                    }
                declaration.elements.push_back({reg, static_cast<D3DVSDT>(type), declaration.stride});
                declaration.stride += elementSize(static_cast<D3DVSDT>(type));
            }
            break;
        case D3DVSD_TOKEN_CONSTMEM: {
            const DWORD count = token >> D3DVSD_CONSTCOUNTSHIFT & 0xF;
            const DWORD address = token & 0x7F;
            if (address + count > static_cast<DWORD>(kConstants) || count * 4 > available - i - 1) {
                error = "bad constants " + tokenText(i, token);
                return false;
            }
            for (DWORD c = 0; c < count; ++c) {
                Declaration::Constant constant;
                constant.reg = static_cast<int>(address + c);
                for (float& value : constant.value)
                    value = std::bit_cast<float>(tokens[++i]);
                declaration.constants.push_back(constant);
            }
            break;
        }
        default: error = "unsupported declaration " + tokenText(i, token); return false;
        }
    }
    error = "declaration has no end token";
    return false;
}

}  // namespace mirva::vs11
