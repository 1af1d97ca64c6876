#include "platform/d3d8/vs11_to_glsl.h"

#include <set>

#include "platform/d3d8/ffp_shader.h"

namespace mirva {

using namespace vs11;

namespace {

const char* const kHelpers = R"(
const float FLT_MAX = 3.402823466e38;
vec4 cRel(int i) { return i >= 0 && i < 96 ? c[i] : vec4(0.0); }
float d3dRcp(float x) { return x == 0.0 ? FLT_MAX : 1.0 / x; }
float d3dRsq(float x) { return x == 0.0 ? FLT_MAX : inversesqrt(abs(x)); }
float d3dLog(float x) { return x == 0.0 ? -FLT_MAX : log2(abs(x)); }
vec4 d3dExpp(float x) { return vec4(exp2(floor(x)), x - floor(x), exp2(x), 1.0); }
vec4 d3dLit(vec4 s)
{
    vec4 d = vec4(1.0, 0.0, 0.0, 1.0);
    if (s.x > 0.0) {
        d.y = s.x;
        if (s.y > 0.0)
            d.z = exp2(clamp(s.w, -128.0, 128.0) * log2(s.y));
    }
    return d;
}
)";

// The GLSL name of register `p` moved by `offset` (the rows of the matrix macros).
std::string registerText(const Parameter& p, int offset)
{
    const std::string n = std::to_string(p.number + offset);
    switch (p.type) {
    case REG_TEMP: return "r" + n;
    case REG_INPUT: return "v" + n;
    case REG_CONST: return p.relative ? "cRel(a0.x + " + n + ")" : "c[" + n + "]";
    case REG_ADDR: return "a0";
    case REG_RASTOUT: return p.number == RASTOUT_POSITION ? "oPos" : p.number == RASTOUT_FOG ? "oFog" : "oPts";
    case REG_ATTROUT: return "oD" + n;
    case REG_TEXCRDOUT: return "oT" + n;
    }
    return "vec4(0.0)";
}

std::string source(const Parameter& p, int offset = 0)
{
    std::string text = registerText(p, offset);
    if (p.swizzle != kSwizzleIdentity) {
        text += '.';
        for (int k = 0; k < 4; ++k)
            text += "xyzw"[p.swizzle >> (2 * k) & 3];
    }
    return p.negate ? "(-" + text + ")" : text;
}

std::string maskText(DWORD mask)
{
    std::string text;
    for (int k = 0; k < 4; ++k)
        if (mask & (1u << k))
            text += "xyzw"[k];
    return text;
}

// A vec4 of dot products of `s0` with the rows s1, s1+1, ... (`rows` of them, `size`
// components each); the missing components are 0.
std::string matrixProduct(const Instruction& in, int rows, int size)
{
    const std::string a = size == 3 ? source(in.source[0]) + ".xyz" : source(in.source[0]);
    std::string text = "vec4(";
    for (int k = 0; k < 4; ++k) {
        if (k)
            text += ", ";
        if (k < rows) {
            const std::string row = source(in.source[1], k);
            text += "dot(" + a + ", " + (size == 3 ? row + ".xyz" : row) + ")";
        } else {
            text += "0.0";
        }
    }
    return text + ")";
}

// The value an instruction computes, as a vec4 expression.
std::string expression(const Instruction& in)
{
    const std::string s0 = in.info->sources > 0 ? source(in.source[0]) : "";
    const std::string s1 = in.info->sources > 1 ? source(in.source[1]) : "";
    const std::string s2 = in.info->sources > 2 ? source(in.source[2]) : "";
    switch (in.info->opcode) {
    case MOV: return s0;
    case ADD: return s0 + " + " + s1;
    case SUB: return s0 + " - " + s1;
    case MUL: return s0 + " * " + s1;
    case MAD: return s0 + " * " + s1 + " + " + s2;
    case RCP: return "vec4(d3dRcp(" + s0 + ".w))";
    case RSQ: return "vec4(d3dRsq(" + s0 + ".w))";
    case DP3: return "vec4(dot(" + s0 + ".xyz, " + s1 + ".xyz))";
    case DP4: return "vec4(dot(" + s0 + ", " + s1 + "))";
    case MIN: return "min(" + s0 + ", " + s1 + ")";
    case MAX: return "max(" + s0 + ", " + s1 + ")";
    case SLT: return "vec4(lessThan(" + s0 + ", " + s1 + "))";
    case SGE: return "vec4(greaterThanEqual(" + s0 + ", " + s1 + "))";
    case EXP: return "vec4(exp2(" + s0 + ".w))";
    case LOG:
    case LOGP: return "vec4(d3dLog(" + s0 + ".w))";
    case EXPP: return "d3dExpp(" + s0 + ".w)";
    case LIT: return "d3dLit(" + s0 + ")";
    case DST: return "vec4(1.0, " + s0 + ".y * " + s1 + ".y, " + s0 + ".z, " + s1 + ".w)";
    case FRC: return "fract(" + s0 + ")";
    case M4x4: return matrixProduct(in, 4, 4);
    case M4x3: return matrixProduct(in, 3, 4);
    case M3x4: return matrixProduct(in, 4, 3);
    case M3x3: return matrixProduct(in, 3, 3);
    case M3x2: return matrixProduct(in, 2, 3);
    default: return "";
    }
}

// The components a macro writes: only those its rows fill.
DWORD effectiveMask(const Instruction& in)
{
    switch (in.info->opcode) {
    case M4x3:
    case M3x3: return in.dest.writeMask & 0x7;
    case M3x2: return in.dest.writeMask & 0x3;
    default: return in.dest.writeMask;
    }
}

}  // namespace

std::string vs11ToGlsl(const Program& program, const Declaration& declaration, bool flatShading, std::string& error)
{
    std::set<int> inputs;
    std::string body;
    for (const Instruction& in : program.instructions) {
        const Opcode op = in.info->opcode;
        if (op == NOP || op == DEF)
            continue;  // def constants are loaded when the shader is set
        for (int s = 0; s < in.info->sources; ++s) {
            const Parameter& p = in.source[s];
            const int rows = s == 1 ? macroRows(op) : 1;
            if (p.type == REG_INPUT)
                for (int k = 0; k < rows; ++k)
                    inputs.insert(p.number + k);
        }
        const DWORD mask = effectiveMask(in);
        if (mask == 0)
            continue;
        const std::string value = expression(in);
        std::string dest = registerText(in.dest, 0);
        if (in.dest.type == REG_ADDR) {
            body += "    a0." + maskText(mask) + " = ivec4(floor(" + value + "))." + maskText(mask) + ";\n";
        } else if (mask == kWriteMaskAll) {
            body += "    " + dest + " = " + value + ";\n";
        } else {
            body += "    " + dest + "." + maskText(mask) + " = (" + value + ")." + maskText(mask) + ";\n";
        }
    }
    for (int reg : inputs) {
        bool declared = false;
        for (const VertexElement& element : declaration.elements)
            declared = declared || element.reg == reg;
        if (!declared) {
            error = "v" + std::to_string(reg) + " is read but not declared";
            return "";
        }
    }

    const std::string flat = flatShading ? "flat " : "";
    std::string s = "#version 330 core\n";
    for (int reg : inputs)
        s += "layout(location = " + std::to_string(reg) + ") in vec4 v" + std::to_string(reg) + ";\n";
    s += "uniform vec4 c[96];\n"
         "uniform vec2 u_pixelOffset;\n";
    s += flat + "out vec4 v_diffuse;\n" + flat + "out vec4 v_specular;\n";
    for (int t = 0; t < kTexCoordOutputs; ++t)
        s += "out vec4 v_texCoord" + std::to_string(t) + ";\n";
    s += "out float v_fog;\n";
    s += kHelpers;
    s += "void main()\n{\n";
    for (int r = 0; r < kTemps; ++r)
        s += "    vec4 r" + std::to_string(r) + " = vec4(0.0);\n";
    s += "    ivec4 a0 = ivec4(0);\n"
         "    vec4 oPos = vec4(0.0, 0.0, 0.0, 1.0);\n"
         "    vec4 oFog = vec4(1.0);\n"
         "    vec4 oPts = vec4(1.0);\n"
         "    vec4 oD0 = vec4(0.0);\n"
         "    vec4 oD1 = vec4(0.0);\n";
    for (int t = 0; t < kTexCoordOutputs; ++t)
        s += "    vec4 oT" + std::to_string(t) + " = vec4(0.0, 0.0, 0.0, 1.0);\n";
    s += body;
    s += "    v_diffuse = clamp(oD0, 0.0, 1.0);\n"
         "    v_specular = clamp(oD1, 0.0, 1.0);\n";
    for (int t = 0; t < kTexCoordOutputs; ++t)
        s += "    v_texCoord" + std::to_string(t) + " = oT" + std::to_string(t) + ";\n";
    s += "    v_fog = clamp(oFog.x, 0.0, 1.0);\n"
         "    gl_PointSize = max(oPts.x, 1.0);\n"
         "    vec4 clip = oPos;\n";
    s += d3dClipEpilogue;
    s += "}\n";
    return s;
}

}  // namespace mirva
