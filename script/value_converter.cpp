#include "script/value_converter.h"

#include <bit>
#include <string>

#include "io/console.h"

namespace mirva {

namespace {

bool isNumber(std::int32_t tag)
{
    return tag == ScriptToken::Float || tag == ScriptToken::Int;
}

bool isPhaseOrSpeed(std::int32_t tag)
{
    return tag == ScriptToken::EnvelopePhase || tag == ScriptToken::EnvelopeSpeed;
}

// One conversion: two cursors over the element lists and what the messages need.
class Conversion {
public:
    Conversion(const ScriptTables& tables, const Enums& enums, ScriptBuilder& builder, const ScriptType& type,
               Variable& record, const std::vector<std::int32_t>& tags, const std::vector<std::uint32_t>& words,
               int line)
        : tables_(tables), enums_(enums), builder_(builder), type_(type), record_(record), tags_(tags),
          words_(words), line_(line)
    {
    }

    void run();

private:
    bool more() const { return tag_ < tags_.size(); }
    std::int32_t peek() const { return more() ? tags_[tag_] : -1; }
    // The word of the element at the tag cursor; advances both cursors.
    std::uint32_t takeWord(const std::string& expected);
    void takeTagOnly() { ++tag_; }

    [[noreturn]] void mismatch(const std::string& expected) const;
    const std::string& identifierText(std::uint32_t index, const std::string& expected) const;
    const std::string& stringText(std::uint32_t index, const std::string& expected) const;

    float number(const std::string& expected);
    float channel(int index, const std::string& typeName);
    std::shared_ptr<Envelope> envelope();
    void skipSurplus(const std::string& typeName);
    std::int32_t phaseSpeedTail();
    void checkConsumed(const std::string& typeName) const;
    void requireSingle(std::int32_t tag, const std::string& typeName) const;
    void convertTransformation(const std::string& typeName);

    const ScriptTables& tables_;
    const Enums& enums_;
    ScriptBuilder& builder_;
    const ScriptType& type_;
    Variable& record_;
    const std::vector<std::int32_t>& tags_;
    const std::vector<std::uint32_t>& words_;
    int line_;
    std::size_t tag_ = 0;
    std::size_t word_ = 0;
};

std::uint32_t Conversion::takeWord(const std::string& expected)
{
    if (word_ >= words_.size())
        mismatch(expected);
    ++tag_;
    return words_[word_++];
}

void Conversion::mismatch(const std::string& expected) const
{
    Console::error("line %d component type %s: variable '%s' type doesn't match component definition (should be %s)",
                   line_, type_.name().c_str(), excerpt(record_.name).c_str(), expected.c_str());
}

const std::string& Conversion::identifierText(std::uint32_t index, const std::string& expected) const
{
    if (index >= tables_.identifiers.size())
        mismatch(expected);
    return tables_.identifiers[index];
}

const std::string& Conversion::stringText(std::uint32_t index, const std::string& expected) const
{
    if (index >= tables_.strings.size())
        mismatch(expected);
    return tables_.strings[index];
}

float Conversion::number(const std::string& expected)
{
    const std::int32_t tag = peek();
    if (!isNumber(tag))
        mismatch(expected);
    const std::uint32_t word = takeWord(expected);
    return tag == ScriptToken::Float ? std::bit_cast<float>(word) : static_cast<float>(static_cast<std::int32_t>(word));
}

float Conversion::channel(int index, const std::string& typeName)
{
    if (isNumber(peek()))
        return number(typeName);
    if (peek() != ScriptToken::Key)
        mismatch(typeName);
    std::shared_ptr<Envelope> curve = envelope();
    const float value = curve->Evaluate(0.0f);
    record_.channels[static_cast<std::size_t>(index)] = std::move(curve);
    return value;
}

std::shared_ptr<Envelope> Conversion::envelope()
{
    auto curve = std::make_shared<Envelope>();
    while (peek() == ScriptToken::Key) {
        takeTagOnly();
        Key key;
        key.time = number("time");
        key.value = number("value");
        if (peek() != ScriptToken::Identifier)
            mismatch("keytype");
        key.shape = enums_.lookup("KeyType", identifierText(takeWord("keytype"), "keytype"), line_);
        switch (key.shape) {
        case KeyType::TCB:
            key.p0 = number("tension");
            key.p1 = number("continuity");
            key.p2 = number("bias");
            break;
        case KeyType::HERMITE:
        case KeyType::BEZIER:
            key.p0 = number("incomingtangent");
            key.p1 = number("outgoingtangent");
            break;
        default:  // LINEAR and STEPPED take no parameters
            break;
        }
        curve->AddKey(key);
    }
    if (peek() != ScriptToken::Identifier)
        mismatch("prebehavior");
    const std::int32_t pre = enums_.lookup("Behavior", identifierText(takeWord("prebehavior"), "prebehavior"), line_);
    if (peek() != ScriptToken::Identifier)
        mismatch("postbehaviour");
    const std::int32_t post =
        enums_.lookup("Behavior", identifierText(takeWord("postbehaviour"), "postbehaviour"), line_);
    curve->setBehaviors(pre, post);
    return curve;
}

// Numbers and envelopes beyond the channels of the type are read (envelopes are checked)
// and ignored; any other element is passed over without its word, so that the final
// check fails.
void Conversion::skipSurplus(const std::string& typeName)
{
    while (more() && !isPhaseOrSpeed(peek())) {
        const std::int32_t tag = peek();
        if (isNumber(tag))
            number(typeName);
        else if (tag == ScriptToken::Key)
            envelope();
        else
            takeTagOnly();
    }
}

std::int32_t Conversion::phaseSpeedTail()
{
    if (!more())
        return 0;
    std::int32_t result = 0;
    if (peek() == ScriptToken::EnvelopePhase) {
        takeTagOnly();
        record_.envelopePhase = number("Float");
        result = ValueType::PhaseOnly;
        if (!more())
            return result;
    }
    if (peek() != ScriptToken::EnvelopeSpeed)
        mismatch("Phase or Speed");
    takeTagOnly();
    record_.envelopeSpeed = number("Float");
    return result == ValueType::PhaseOnly ? ValueType::PhaseAndSpeed : ValueType::SpeedOnly;
}

void Conversion::checkConsumed(const std::string& typeName) const
{
    if (tag_ != tags_.size() || word_ != words_.size())
        mismatch(typeName);
}

void Conversion::requireSingle(std::int32_t tag, const std::string& typeName) const
{
    if (tags_.size() != 1 || tags_[0] != tag || words_.size() != 1)
        mismatch(typeName);
}

void Conversion::convertTransformation(const std::string& typeName)
{
    std::array<float, 9> values;
    for (int c = 0; c < 9; ++c)
        values[static_cast<std::size_t>(c)] = channel(c, typeName);
    skipSurplus(typeName);
    phaseSpeedTail();
    record_.setTransformation(values);
}

void Conversion::run()
{
    const Variable* declaration = type_.declaration(record_.name);
    if (!declaration)
        Console::error("line %d: component type %s doesn't have variable named '%s'", line_, type_.name().c_str(),
                       excerpt(record_.name).c_str());

    if (isPhaseOrSpeed(peek())) {
        record_.type = phaseSpeedTail();
        return;
    }

    const std::string typeName = valueTypeName(*declaration);
    VariableConstant& constant = record_.constant;
    switch (declaration->type) {
    case ValueType::Float:
        constant.floats[0] = channel(0, typeName);
        skipSurplus(typeName);
        phaseSpeedTail();
        checkConsumed(typeName);
        break;
    case ValueType::Bool:
        requireSingle(ScriptToken::Bool, typeName);
        constant.boolean = (words_[0] & 0xFF) != 0;
        break;
    case ValueType::Int:
        if (tags_.size() != 1 || words_.size() != 1 || !isNumber(tags_[0]))
            mismatch(typeName);
        constant.integer = tags_[0] == ScriptToken::Int ? static_cast<std::int32_t>(words_[0])
                                                        : truncateToInt(std::bit_cast<float>(words_[0]));
        break;
    case ValueType::Color: {
        const float red = channel(0, typeName);
        const float green = channel(1, typeName);
        const float blue = channel(2, typeName);
        // Only a plain number is an alpha; an envelope there is surplus.
        const float alpha = isNumber(peek()) ? channel(3, typeName) : 255.0f;
        skipSurplus(typeName);
        phaseSpeedTail();
        constant.color = packColor(red, green, blue, alpha);
        checkConsumed(typeName);
        break;
    }
    case ValueType::Vector2:
    case ValueType::Vector3:
    case ValueType::Vector4: {
        const int n = declaration->type - ValueType::Vector2 + 2;
        for (int c = 0; c < n; ++c)
            constant.floats[static_cast<std::size_t>(c)] = channel(c, typeName);
        skipSurplus(typeName);
        phaseSpeedTail();
        checkConsumed(typeName);
        break;
    }
    case ValueType::Transformation:
        convertTransformation(typeName);
        checkConsumed(typeName);
        break;
    case ValueType::String:
        requireSingle(ScriptToken::String, typeName);
        record_.stringValue = stringText(words_[0], typeName);
        break;
    case ValueType::Enum:
        requireSingle(ScriptToken::Identifier, typeName);
        record_.referenceName = declaration->referenceName;
        constant.integer = enums_.lookup(declaration->referenceName, identifierText(words_[0], typeName), line_);
        break;
    case ValueType::List:
        if (tags_.empty() || words_.size() != tags_.size())
            mismatch(typeName);
        for (std::size_t i = 0; i < tags_.size(); ++i) {
            if (tags_[i] != ScriptToken::Int)
                mismatch(typeName);
            record_.integerList.push_back(static_cast<std::int32_t>(words_[i]));
        }
        break;
    case ValueType::Pointer: {
        requireSingle(ScriptToken::Identifier, typeName);
        const std::string& target = identifierText(words_[0], typeName);
        ScriptInstance* instance = builder_.findInstance(target);
        if (!instance)
            Console::error("line %d: there is no such %s as '%s'", line_, declaration->referenceName.c_str(),
                           excerpt(target).c_str());
        if (instance->getType().name() != declaration->referenceName)
            Console::error("line %d: pointer must to component type '%s'", line_, declaration->referenceName.c_str());
        record_.referenceName = declaration->referenceName;
        constant.pointer = instance;
        break;
    }
    default:
        Console::fatal("internal error in type check: unknown type");
    }
    record_.type = declaration->type;
}

}  // namespace

ValueConverter::ValueConverter(const ScriptTables& tables, const Enums& enums, ScriptBuilder& builder)
    : tables_(tables), enums_(enums), builder_(builder)
{
}

void ValueConverter::convertAndCheck(const ScriptType& type, Variable& record, const std::vector<std::int32_t>& tags,
                                     const std::vector<std::uint32_t>& words, int line) const
{
    Conversion(tables_, enums_, builder_, type, record, tags, words, line).run();
}

}  // namespace mirva
