#include "script/script_parser.h"

#include <bit>
#include <unordered_map>
#include <utility>

#include "io/console.h"

namespace mirva {

ScriptParser::ScriptParser(std::string_view text, ScriptBuilder& builder, Enums& enums, std::FILE* echo)
    : scanner_(text, tables_, echo), builder_(builder), enums_(enums), converter_(tables_, enums, builder)
{
}

int ScriptParser::peek()
{
    if (lookahead_ < 0)
        lookahead_ = scanner_.next();
    return lookahead_;
}

// Takes the token read ahead and returns its value word.
std::uint32_t ScriptParser::consume()
{
    peek();
    lookahead_ = -1;
    return scanner_.word();
}

std::uint32_t ScriptParser::expect(int token)
{
    if (peek() != token)
        syntaxError();
    return consume();
}

const std::string& ScriptParser::expectIdentifier()
{
    return tables_.identifiers[expect(ScriptToken::Identifier)];
}

void ScriptParser::syntaxError()
{
    const std::string found = excerpt(scanner_.text());
    Console::error("line %d syntax error: '%s' found %s expected ", line(), found.c_str(), expectation_.c_str());
}

int ScriptParser::parse()
{
    expectation_ = "Enums or Constructs";
    lastInstructionTime_ = 0;
    builder_.setInfoMode(false);
    if (peek() == ScriptToken::Info) {
        consume();
        builder_.setInfoMode(true);
    }
    while (peek() == ScriptToken::Enum)
        enumDecl();
    while (peek() == ScriptToken::Construct) {
        consume();
        instructionTime_ = 0;
        expectation_ = "component type";
        constructBody();
        expectation_ = "Constructs or Time or Song or AudioStream";
    }
    header();
    while (peek() != ScriptToken::EndOfInput)
        instruction();
    return 0;
}

void ScriptParser::enumDecl()
{
    consume();
    expectation_ = "name of the enum";
    const std::string name = expectIdentifier();
    enums_.createEnum(name, line(), true);
    expectation_ = "{";
    expect('{');
    expectation_ = "enum member or '}'";
    while (peek() == ScriptToken::Identifier)
        enums_.addMember(tables_.identifiers[consume()], Enums::kAutomatic, line());
    expect('}');
    enums_.finishEnum(line());
    expectation_ = "Enums or Constructs";
}

void ScriptParser::header()
{
    switch (peek()) {
    case ScriptToken::Song: {
        consume();
        expectation_ = "filename";
        const std::string file = tables_.strings[expect(ScriptToken::String)];
        builder_.Song(file, line());
        break;
    }
    case ScriptToken::Timer: {
        consume();
        expectation_ = "endTime";
        parseTime();
        instructionTime_ = currentTime_;
        expectation_ = "tempo";
        tempo_ = static_cast<float>(static_cast<std::int32_t>(expect(ScriptToken::Int)));
        expectation_ = "time multiplier";
        const float multiplier = std::bit_cast<float>(expect(ScriptToken::Float));
        builder_.Timer(instructionTime_, truncateToInt(tempo_), multiplier, line());
        break;
    }
    case ScriptToken::AudioStream: {
        consume();
        expectation_ = "filename";
        const std::uint32_t file = expect(ScriptToken::String);
        expectation_ = "tempo";
        tempo_ = static_cast<float>(static_cast<std::int32_t>(expect(ScriptToken::Int)));
        expectation_ = "time multiplier";
        const float multiplier = std::bit_cast<float>(expect(ScriptToken::Float));
        builder_.AudioStream(tables_.strings[file], truncateToInt(tempo_), multiplier, line());
        break;
    }
    default:
        syntaxError();
    }
    expectation_ = "instructionTime";
}

// Packs order:row:decimals field by field into the current time. Ranges are not checked:
// a row of 64 or more, or decimals of 256 or more, spill into the higher fields (ORed, not
// added).
void ScriptParser::parseTime()
{
    std::uint32_t t = static_cast<std::uint32_t>(currentTime_);
    t = expect(ScriptToken::Int) << 14 | (t & 0x3FFFu);
    currentTime_ = static_cast<Time>(t);
    expect(':');
    t = (t & ~(0x3F00u | 0x80000000u)) | expect(ScriptToken::Int) * 256u;
    currentTime_ = static_cast<Time>(t);
    expect(':');
    t = (t & ~(0xFFu | 0x80000000u)) | expect(ScriptToken::Int);
    currentTime_ = static_cast<Time>(t);
}

void ScriptParser::instruction()
{
    parseTime();
    instructionTime_ = currentTime_;
    if (instructionTime_ < lastInstructionTime_)
        Console::error("line %d: instruction time < last instruction's time", line());
    lastInstructionTime_ = instructionTime_;
    expectation_ = "instruction";

    const int keyword = peek();
    switch (keyword) {
    case ScriptToken::Construct:
        consume();
        expectation_ = "component type";
        constructBody();
        expectation_ = "instructionTime";
        return;
    case ScriptToken::Destruct:
    case ScriptToken::End:
    case ScriptToken::SampleMessageEnd:
        consume();
        expectation_ = "instance name";
        resolveInstance(std::string(expectIdentifier()));
        if (keyword == ScriptToken::Destruct)
            builder_.Destruct(instructionTime_, *instance_, line());
        else if (keyword == ScriptToken::End)
            builder_.End(instructionTime_, *instance_, line());
        else
            builder_.SampleMessageEnd(instructionTime_, *instance_, line());
        block_.clear();
        expectation_ = "instructionTime";
        return;
    case ScriptToken::Set:
    case ScriptToken::Begin:
    case ScriptToken::SampleMessageBegin:
        consume();
        expectation_ = "instance name";
        resolveInstance(std::string(expectIdentifier()));
        expectation_ = "variableBlock";
        variableBlock();
        if (keyword == ScriptToken::Set)
            builder_.Set(instructionTime_, *instance_, std::move(block_), line());
        else if (keyword == ScriptToken::Begin)
            builder_.Begin(instructionTime_, *instance_, std::move(block_), line());
        else
            builder_.SampleMessageBegin(instructionTime_, *instance_, std::move(block_), line());
        block_.clear();
        return;
    case ScriptToken::EndAll:
        consume();
        builder_.EndAll(instructionTime_, line());
        expectation_ = "instructionTime";
        return;
    case ScriptToken::Skip:
        consume();
        expectation_ = "time";
        parseTime();
        builder_.Skip(instructionTime_, currentTime_, line());
        expectation_ = "instructionTime";
        return;
    default:
        syntaxError();
    }
}

void ScriptParser::constructBody()
{
    const std::string typeName = expectIdentifier();
    componentType_ = builder_.findComponentType(typeName);
    if (!componentType_)
        Console::error("line %d: component type '%s' doesn't exist", line(), excerpt(typeName).c_str());
    expectation_ = "instance name";
    instanceName_ = expectIdentifier();
    expectation_ = "variableBlock";
    variableBlock();
    builder_.Construct(instructionTime_, *componentType_, instanceName_, std::move(block_), line());
    block_.clear();
}

void ScriptParser::resolveInstance(const std::string& name)
{
    instance_ = builder_.findInstance(name);
    if (!instance_)
        Console::error("line %d: component '%s' doesn't exist", line(), excerpt(name).c_str());
    componentType_ = &instance_->getType();
    if (instance_->lifecycleState() == LifecycleState::NotConstructed)
        Console::error("line %d: component '%s' is not constructed", line(), excerpt(name).c_str());
    if (instance_->lifecycleState() == LifecycleState::Destructed)
        Console::error("line %d: component '%s' is destructed", line(), excerpt(name).c_str());
}

void ScriptParser::variableBlock()
{
    block_.clear();
    if (peek() != '{') {
        expectation_ = "instructionTime";
        return;
    }
    consume();
    expectation_ = "variables or '}'";
    while (peek() == ScriptToken::Identifier)
        variable();
    expect('}');
    checkDuplicates();
    expectation_ = "instructionTime";
}

// The first record (in block order) whose name comes again later in the block.
void ScriptParser::checkDuplicates() const
{
    std::unordered_map<std::string_view, int> count;
    for (const Variable& v : block_)
        ++count[v.name];
    for (const Variable& v : block_)
        if (count[v.name] > 1)
            Console::error("line %d: variable '%s' defined multiple times in the same variable block", line(),
                           excerpt(v.name).c_str());
}

void ScriptParser::variable()
{
    current_ = Variable();
    current_.name = tables_.identifiers[consume()];
    tags_.clear();
    words_.clear();
    expectation_ = "'='";
    expect('=');
    expectation_ = "Phase or Speed or value";
    value();
    converter_.convertAndCheck(*componentType_, current_, tags_, words_, line());
    block_.push_back(std::move(current_));
}

void ScriptParser::value()
{
    if (peek() == ScriptToken::EnvelopePhase) {
        phase();
        if (peek() == ScriptToken::EnvelopeSpeed)
            speed();
        return;
    }
    if (peek() == ScriptToken::EnvelopeSpeed) {
        speed();
        return;
    }
    element();
    while (peek() == ',') {
        consume();
        element();
    }
    if (peek() == ScriptToken::EnvelopePhase)
        phase();
    if (peek() == ScriptToken::EnvelopeSpeed)
        speed();
}

void ScriptParser::element()
{
    switch (peek()) {
    case ScriptToken::Float:
    case ScriptToken::Int:
    case ScriptToken::Bool:
    case ScriptToken::String:
    case ScriptToken::Identifier:
        pushElement(peek());
        return;
    case ScriptToken::Key:
        envelope();
        return;
    default:
        syntaxError();
    }
}

void ScriptParser::envelope()
{
    while (peek() == ScriptToken::Key) {
        consume();
        tags_.push_back(ScriptToken::Key);
        expectation_ = "key time";
        number();
        expectation_ = "key value";
        expect(',');
        number();
        expectation_ = "key type";
        expect(',');
        if (peek() != ScriptToken::Identifier)
            syntaxError();
        pushElement(ScriptToken::Identifier);
        expectation_ = "additional key parameters or next key or prebehavior";
        while (peek() == ',') {
            consume();
            number();
        }
    }
    if (peek() != ScriptToken::Identifier)
        syntaxError();
    pushElement(ScriptToken::Identifier);
    expectation_ = "postbehavior";
    if (peek() != ScriptToken::Identifier)
        syntaxError();
    pushElement(ScriptToken::Identifier);
    expectation_ = "next value or variable";
}

void ScriptParser::number()
{
    const int token = peek();
    if (token != ScriptToken::Int && token != ScriptToken::Float)
        syntaxError();
    pushElement(token);
}

// Takes the token read ahead as an element of the value: its tag and its word.
void ScriptParser::pushElement(int tag)
{
    tags_.push_back(tag);
    words_.push_back(consume());
}

void ScriptParser::phase()
{
    consume();
    tags_.push_back(ScriptToken::EnvelopePhase);
    expectation_ = "phase";
    number();
    expectation_ = "Speed or next variable or '}'";
}

void ScriptParser::speed()
{
    consume();
    tags_.push_back(ScriptToken::EnvelopeSpeed);
    expectation_ = "speed";
    number();
    expectation_ = "next variable or '}'";
}

}  // namespace mirva
