#pragma once
// ScriptParser: recognises a whole script and builds it through a ScriptBuilder.
//
//   script          [Info] {enumDecl} {Construct constructBody} header {time instruction}
//   enumDecl        Enum IDENTIFIER '{' {IDENTIFIER} '}'
//   header          Song STRING | Timer time INT FLOAT | AudioStream STRING INT FLOAT
//   time            INT ':' INT ':' INT                      (order, row, decimals)
//   instruction     Construct constructBody | Destruct IDENTIFIER | Set IDENTIFIER block
//                   | Begin IDENTIFIER block | End IDENTIFIER
//                   | SampleMessageBegin IDENTIFIER block | SampleMessageEnd IDENTIFIER
//                   | EndAll | Skip time
//   constructBody   IDENTIFIER (type) IDENTIFIER (name) block
//   block           (nothing) | '{' {IDENTIFIER '=' value} '}'
//   value           element {',' element} [EnvelopePhase number] [EnvelopeSpeed number]
//                   | EnvelopePhase number [EnvelopeSpeed number] | EnvelopeSpeed number
//   element         FLOAT | INT | BOOL | IDENTIFIER | STRING
//                   | Key key {Key key} IDENTIFIER (pre-behaviour) IDENTIFIER (post)
//   key             number ',' number ',' IDENTIFIER {',' number}
//   number          INT | FLOAT
//
// The parser behaves as an LALR(1) parser of this grammar with its actions inside the
// rules: it reads a token ahead only where the grammar needs one to decide, and runs
// every action as soon as its place in a rule is reached. That fixes the line number
// each message quotes (the scanner's line after the last token read) and the phrase a
// syntax error names as expected (set by the last action before the rejected token).
// The first token that does not fit ends the load; there is no recovery.
//
// The grammar has no nesting, so the parser uses a fixed, small amount of stack whatever
// the script.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "script/enums.h"
#include "script/script_builder.h"
#include "script/script_scanner.h"
#include "script/script_time.h"
#include "script/value_converter.h"
#include "script/variable.h"

namespace mirva {

class ScriptParser {
public:
    // `text` is the script after the include/comment pass. Characters that start no token
    // are echoed to `echo`.
    ScriptParser(std::string_view text, ScriptBuilder& builder, Enums& enums, std::FILE* echo = stdout);

    // Parses the whole script; returns 0 when it was accepted (every error is fatal).
    int parse();

private:
    int peek();
    std::uint32_t consume();
    std::uint32_t expect(int token);
    const std::string& expectIdentifier();
    [[noreturn]] void syntaxError();
    int line() const { return scanner_.line(); }

    void enumDecl();
    void header();
    void parseTime();
    void instruction();
    void constructBody();
    void resolveInstance(const std::string& name);
    void variableBlock();
    void checkDuplicates() const;
    void variable();
    void value();
    void element();
    void envelope();
    void number();
    void pushElement(int tag);
    void phase();
    void speed();

    ScriptTables tables_;
    ScriptScanner scanner_;
    ScriptBuilder& builder_;
    Enums& enums_;
    ValueConverter converter_;
    int lookahead_ = -1;  // -1: no token read ahead

    Time currentTime_ = 0;
    Time instructionTime_ = 0;
    Time lastInstructionTime_ = 0;
    float tempo_ = 0.0f;
    const ScriptType* componentType_ = nullptr;
    ScriptInstance* instance_ = nullptr;
    std::string instanceName_;
    std::vector<Variable> block_;
    Variable current_;
    std::vector<std::int32_t> tags_;
    std::vector<std::uint32_t> words_;
    std::string expectation_;
};

}  // namespace mirva
