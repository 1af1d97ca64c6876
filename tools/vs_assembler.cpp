#include "tools/vs_assembler.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <sstream>

#include "io/console.h"
#include "platform/d3d8/vs11.h"

namespace mirva {

using namespace vs11;

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trim(const std::string& text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

class LineAssembler {
public:
    LineAssembler(const std::string& sourceName, int line) : sourceName_(sourceName), line_(line) {}

    [[noreturn]] void fail(const std::string& problem) const
    {
        Console::fatal("vsa: " + sourceName_ + " line " + std::to_string(line_) + ": " + problem);
    }

    int number(const std::string& text, const std::string& what) const
    {
        int value = -1;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0)
            fail("bad " + what + " '" + text + "'");
        return value;
    }

    float floatValue(const std::string& text) const
    {
        std::istringstream in(text);
        in.imbue(std::locale::classic());
        float value = 0;
        in >> value;
        if (text.empty() || in.fail() || !in.eof())
            fail("bad number '" + text + "'");
        return value;
    }

    // A register name without modifiers or suffix.
    Parameter registerOf(const std::string& written) const
    {
        const std::string name = lower(written);
        Parameter p;
        if (name.starts_with("c[")) {
            // c[a0.x + n], c[n + a0.x], c[a0.x] or c[n]
            if (name.back() != ']')
                fail("bad register '" + written + "'");
            std::string inside;
            for (char c : name.substr(2, name.size() - 3))
                if (!std::isspace(static_cast<unsigned char>(c)))
                    inside += c;
            p.type = REG_CONST;
            if (inside == "a0.x") {
                p.relative = true;
            } else if (inside.starts_with("a0.x+")) {
                p.relative = true;
                p.number = number(inside.substr(5), "constant offset");
            } else if (inside.ends_with("+a0.x")) {
                p.relative = true;
                p.number = number(inside.substr(0, inside.size() - 5), "constant offset");
            } else {
                p.number = number(inside, "constant");
            }
            if (p.number >= kConstants)
                fail("there is no constant " + std::to_string(p.number));
            return p;
        }
        const auto numbered = [&](RegisterType type, std::size_t prefix, int count) {
            p.type = type;
            p.number = number(name.substr(prefix), "register number");
            if (p.number >= count)
                fail("register '" + written + "' does not exist");
        };
        if (name == "opos" || name == "ofog" || name == "opts") {
            p.type = REG_RASTOUT;
            p.number = name == "opos" ? RASTOUT_POSITION : name == "ofog" ? RASTOUT_FOG : RASTOUT_POINTSIZE;
        } else if (name == "a0") {
            p.type = REG_ADDR;
        } else if (name.starts_with("od")) {
            numbered(REG_ATTROUT, 2, 2);
        } else if (name.starts_with("ot")) {
            numbered(REG_TEXCRDOUT, 2, kTexCoordOutputs);
        } else if (name.starts_with("r")) {
            numbered(REG_TEMP, 1, kTemps);
        } else if (name.starts_with("v")) {
            numbered(REG_INPUT, 1, kInputs);
        } else if (name.starts_with("c")) {
            numbered(REG_CONST, 1, kConstants);
        } else {
            fail("unknown register '" + written + "'");
        }
        return p;
    }

    // "name" and ".suffix" of an operand; the dot of a0.x inside brackets is not a suffix.
    static void split(const std::string& operand, std::string& name, std::string& suffix)
    {
        const std::size_t bracket = operand.rfind(']');
        const std::size_t dot = operand.find('.', bracket == std::string::npos ? 0 : bracket);
        name = trim(operand.substr(0, dot));
        suffix = dot == std::string::npos ? "" : lower(trim(operand.substr(dot + 1)));
    }

    static int component(char c)
    {
        switch (c) {
        case 'x':
        case 'r': return 0;
        case 'y':
        case 'g': return 1;
        case 'z':
        case 'b': return 2;
        case 'w':
        case 'a': return 3;
        default: return -1;
        }
    }

    Parameter destination(const std::string& operand) const
    {
        std::string name, suffix;
        split(operand, name, suffix);
        if (name.starts_with("-"))
            fail("a destination cannot be negated: '" + operand + "'");
        Parameter p = registerOf(name);
        if (p.type == REG_INPUT || p.type == REG_CONST)
            fail("cannot write '" + name + "'");
        if (!suffix.empty()) {
            p.writeMask = 0;
            int last = -1;
            for (char c : suffix) {
                const int k = component(c);
                if (k <= last)
                    fail("bad write mask '." + suffix + "' (components in x, y, z, w order, each once)");
                p.writeMask |= 1u << k;
                last = k;
            }
        }
        return p;
    }

    Parameter source(const std::string& operand) const
    {
        std::string written = trim(operand);
        bool negate = false;
        if (written.starts_with("-")) {
            negate = true;
            written = trim(written.substr(1));
        }
        std::string name, suffix;
        split(written, name, suffix);
        Parameter p = registerOf(name);
        p.negate = negate;
        if (p.type != REG_TEMP && p.type != REG_INPUT && p.type != REG_CONST)
            fail("cannot read '" + name + "'");
        if (!suffix.empty()) {
            if (suffix.size() > 4)
                fail("bad swizzle '." + suffix + "'");
            p.swizzle = 0;
            for (std::size_t k = 0; k < 4; ++k) {
                const int c = component(suffix[std::min(k, suffix.size() - 1)]);
                if (c < 0)
                    fail("bad swizzle '." + suffix + "'");
                p.swizzle |= static_cast<DWORD>(c) << (2 * k);
            }
        }
        return p;
    }

    void instruction(const std::string& text, std::vector<DWORD>& tokens) const
    {
        const std::size_t space = text.find_first_of(" \t");
        const std::string opcode = lower(text.substr(0, space));
        const OpcodeInfo* info = findOpcode(opcode);
        if (!info)
            fail("unknown instruction '" + opcode + "'");
        std::vector<std::string> operands;
        if (space != std::string::npos) {
            std::string rest = trim(text.substr(space));
            std::size_t start = 0;
            int depth = 0;
            for (std::size_t i = 0; i <= rest.size(); ++i) {
                if (i < rest.size() && rest[i] == '[')
                    ++depth;
                else if (i < rest.size() && rest[i] == ']')
                    --depth;
                if (i == rest.size() || (rest[i] == ',' && depth == 0)) {
                    operands.push_back(trim(rest.substr(start, i - start)));
                    start = i + 1;
                }
            }
        }
        const std::size_t expected =
            (info->hasDest ? 1u : 0u) + static_cast<std::size_t>(info->sources) + (info->opcode == DEF ? 4u : 0u);
        if (operands.size() != expected)
            fail(opcode + " takes " + std::to_string(expected) + " operands, not " + std::to_string(operands.size()));
        for (const std::string& operand : operands)
            if (operand.empty())
                fail("empty operand");

        tokens.push_back(info->opcode);
        if (info->opcode == DEF) {
            const Parameter c = registerOf(operands[0]);
            if (c.type != REG_CONST || c.relative)
                fail("def writes a constant c0..c95, not '" + operands[0] + "'");
            tokens.push_back(destinationToken(c));
            for (std::size_t k = 1; k < 5; ++k)
                tokens.push_back(std::bit_cast<DWORD>(floatValue(operands[k])));
            return;
        }
        if (info->hasDest) {
            const Parameter dest = destination(operands[0]);
            if (dest.type == REG_ADDR && (info->opcode != MOV || dest.writeMask != 1))
                fail("a0 is written only by 'mov a0.x, ...'");
            tokens.push_back(destinationToken(dest));
        }
        for (std::size_t s = 1; s < operands.size(); ++s) {
            const Parameter p = source(operands[s]);
            const int rows = s == 2 ? macroRows(info->opcode) : 1;
            if (rows > 1 && !p.relative) {
                const int count = p.type == REG_TEMP ? kTemps : p.type == REG_INPUT ? kInputs : kConstants;
                if (p.number + rows > count)
                    fail(opcode + " reads " + std::to_string(rows) + " registers from '" + operands[s] +
                         "', past the last one");
            }
            tokens.push_back(sourceToken(p));
        }
    }

private:
    const std::string& sourceName_;
    int line_;
};

}  // namespace

std::vector<DWORD> assembleVertexShader(const std::string& text, const std::string& sourceName)
{
    std::vector<DWORD> tokens;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool versioned = false;
    while (std::getline(in, line)) {
        ++number;
        const std::size_t semicolon = line.find(';');
        const std::size_t slashes = line.find("//");
        line = trim(line.substr(0, std::min(semicolon, slashes)));
        if (line.empty())
            continue;
        const LineAssembler assembler(sourceName, number);
        if (!versioned) {
            const std::string version = lower(line);
            if (version != "vs.1.1" && version != "vs_1_1")
                assembler.fail("the shader must start with 'vs.1.1', not '" + line + "'");
            tokens.push_back(kVersion);
            versioned = true;
            continue;
        }
        assembler.instruction(line, tokens);
    }
    if (!versioned)
        Console::fatal("vsa: " + sourceName + ": no 'vs.1.1' line");
    tokens.push_back(kEnd);
    return tokens;
}

std::vector<unsigned char> vertexShaderFileBytes(const std::vector<DWORD>& tokens)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(tokens.size() * 4);
    for (DWORD token : tokens)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(token >> shift));
    return bytes;
}

}  // namespace mirva
