// The parser and its value checks, with a builder that records what it is asked to do:
// the grammar's messages and expectation phrases, the line each message quotes, time
// packing, and the conversion of every value type. (Pointers are resolved against real
// component types in the script player's load tests.)
#include "script/script_parser.h"

#include <cstdarg>
#include <map>

#include <gtest/gtest.h>

#include "io/console.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

// A type with one variable of every value type.
class Thing : public ScriptType {
public:
    Thing() : ScriptType("Thing", "test type")
    {
        const char* names[] = {"broken", "f", "b", "i", "c", "v2", "v3", "v4", "t", "s", "e", "l"};
        for (std::int32_t type = ValueType::Undefined; type <= ValueType::List; ++type)
            declareParameter(type, type, names[type], type == ValueType::Enum ? "Layers" : "");
    }
};

class Item : public ScriptInstance {
public:
    explicit Item(const ScriptType& type) : type_(type) {}
    const ScriptType& getType() const override { return type_; }

private:
    const ScriptType& type_;
};

// Records every call as a line of text, and the blocks in the order they came.
class RecordingBuilder : public ScriptBuilder {
public:
    std::vector<std::string> calls;
    std::vector<std::vector<Variable>> blocks;
    std::map<std::string, Item> items;
    using Block = std::vector<Variable>;

    void setInfoMode(bool on) override { calls.push_back(on ? "Info on" : "Info off"); }
    void Song(const std::string& file, int line) override { add("Song %s @%d", file.c_str(), line); }
    void Timer(Time end, int tempo, float m, int line) override { add("Timer %d %d %g @%d", end, tempo, double{m}, line); }
    void AudioStream(const std::string& f, int tempo, float m, int line) override
    {
        add("AudioStream %s %d %g @%d", f.c_str(), tempo, double{m}, line);
    }
    void Construct(Time time, const ScriptType& type, const std::string& name, Block block, int line) override
    {
        add("Construct %d %s %s @%d", time, type.name().c_str(), name.c_str(), line);
        blocks.push_back(std::move(block));
        Item& item = items.try_emplace(name, type).first->second;
        item.setName(name);
        item.setLifecycleState(LifecycleState::Constructed);
    }
    void Destruct(Time t, ScriptInstance& i, int line) override
    {
        record("Destruct", t, i, line);
        i.setLifecycleState(LifecycleState::Destructed);
    }
    void Set(Time t, ScriptInstance& i, Block b, int line) override { record("Set", t, i, line, &b); }
    void Begin(Time t, ScriptInstance& i, Block b, int line) override { record("Begin", t, i, line, &b); }
    void End(Time t, ScriptInstance& i, int line) override { record("End", t, i, line); }
    void SampleMessageBegin(Time t, ScriptInstance& i, Block b, int l) override { record(__func__, t, i, l, &b); }
    void SampleMessageEnd(Time t, ScriptInstance& i, int line) override { record("SampleMessageEnd", t, i, line); }
    void EndAll(Time time, int line) override { add("EndAll %d @%d", time, line); }
    void Skip(Time time, Time target, int line) override { add("Skip %d %d @%d", time, target, line); }
    ScriptInstance* findInstance(const std::string& name) override
    {
        const auto found = items.find(name);
        return found == items.end() ? nullptr : &found->second;
    }
    const ScriptType* findComponentType(const std::string& n) override { return n == thing_.name() ? &thing_ : nullptr; }

private:
    __attribute__((format(printf, 2, 3))) void add(const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        calls.push_back(formatTextV(format, args));
        va_end(args);
    }
    void record(const char* what, Time time, const ScriptInstance& instance, int line, Block* block = nullptr)
    {
        add("%s %d %s @%d", what, time, instance.name().c_str(), line);
        if (block)
            blocks.push_back(std::move(*block));
    }

    Thing thing_;
};

// A script parsed on its own, with the built-in enums.
struct Parsed {
    explicit Parsed(const std::string& text)
    {
        enums.declareCoreEnums();
        ScriptParser(text, builder, enums, nullptr).parse();
    }
    Enums enums;
    RecordingBuilder builder;
};

// The message that parsing `text` ends in.
std::string messageOf(const std::string& text)
{
    return test::fatalMessage([&] { Parsed parsed(text); });
}

// The one record of "Construct Thing a { ASSIGNMENT }".
Variable converted(const std::string& assignment)
{
    const Parsed parsed("Enum Layers { BACK MIDDLE FRONT } Construct Thing a { " + assignment + " } Timer 1:0:0 120 1.0");
    EXPECT_EQ(parsed.builder.blocks.size(), 1u);
    EXPECT_EQ(parsed.builder.blocks.at(0).size(), 1u);
    return parsed.builder.blocks.at(0).at(0);
}

constexpr const char* kTimer = "Timer 10:0:0 120 1.0\n";

TEST(ScriptParserTest, SyntaxErrorsNameTheRejectedTokenAndWhatWasExpected)
{
    const std::string block = std::string(kTimer) + "0:0:0 Construct Thing a { ";
    const std::pair<std::string, std::string> cases[] = {
        {"", "'' found Enums or Constructs"}, {"Info Info", "'Info' found Enums or Constructs"},
        {"Enum 5", "'5' found name of the enum"}, {"Enum L ( ", "'(' found {"},
        {"Enum L { A 5 }", "'5' found enum member or '}'"}, {"Construct 5", "'5' found component type"},
        {"Construct Thing 5", "'5' found instance name"},
        {"Construct Thing a 0:0:0", "'0' found Constructs or Time or Song or AudioStream"},
        {"Song x", "'x' found filename"}, {"AudioStream \"a.mp3\" 120.0", "'120.0' found tempo"},
        {"Timer 5", "'' found endTime"}, {"Timer 5:0:0 120.0 1.0", "'120.0' found tempo"},
        {"Timer 5:0:0 120 1", "'1' found time multiplier"},
        {std::string(kTimer) + "Set", "'Set' found instructionTime"},
        {std::string(kTimer) + "0:0:0 Timer", "'Timer' found instruction"},
        {std::string(kTimer) + "0:0:0 Skip Set", "'Set' found time"},
        {std::string(kTimer) + "0:0:0 Construct Thing a ; ", "';' found instructionTime"},
        {block + "5", "'5' found variables or '}'"}, {block + "f 5", "'5' found '='"},
        {block + "f = }", "'}' found Phase or Speed or value"},
        {block + "f = 1 (", "'(' found Phase or Speed or value"}, {block + "f = Key }", "'}' found key time"},
        {block + "f = Key 0 1", "'1' found key value"}, {block + "f = Key 0, 1 LINEAR", "'LINEAR' found key type"},
        {block + "f = Key 0, 1, 2", "'2' found key type"},
        {block + "f = Key 0,1,LINEAR }", "'}' found additional key parameters or next key or prebehavior"},
        {block + "f = Key 0,1,LINEAR CONSTANT }", "'}' found postbehavior"},
        {block + "f = Key 0,1,LINEAR CONSTANT CONSTANT, }", "'}' found next value or variable"},
        {block + "f = EnvelopePhase }", "'}' found phase"},
        {block + "f = EnvelopePhase 1 EnvelopePhase", "'EnvelopePhase' found Speed or next variable or '}'"},
        {block + "f = 1 EnvelopeSpeed true", "'true' found speed"},
        {block + "f = EnvelopeSpeed 1 ,", "',' found next variable or '}'"},
    };
    for (const auto& [script, expected] : cases) {
        const std::string line = script.find('\n') == std::string::npos ? "1" : "2";
        EXPECT_EQ(messageOf(script), "line " + line + " syntax error: " + expected + " expected ") << script;
    }
}

// Times are packed field by field: a row of 64 or more, or decimals of 256 or more, spill
// into the higher fields, ORed, not added. The tempo may be INF, the largest int. (The
// order of the actions, their times and the lines their messages quote are shown by the
// script player's load tests.)
TEST(ScriptParserTest, TimesPackTheirFieldsByOrAndTheTempoMayBeINF)
{
    const Parsed parsed("Construct Thing a\nTimer 10:0:0 INF 2.5\n0:64:0 End a\n1:64:0 EndAll\n1:0:256 Destruct a\n");
    EXPECT_EQ(parsed.builder.calls, (std::vector<std::string>{"Info off", "Construct 0 Thing a @2",
                                                              "Timer 163840 2147483647 2.5 @2", "End 16384 a @3",
                                                              "EndAll 16384 @4", "Destruct 16640 a @5"}));
}

TEST(ScriptParserTest, MessagesQuoteTheLineOfTheTokenThatShowedTheFaultAndTheTypeAValueShouldBe)
{
    const std::string destructed = "Construct Thing a\n" + std::string(kTimer) + "0:0:0 Destruct a\n0:1:0 ";
    const std::pair<std::string, std::string> cases[] = {
        {std::string(kTimer) + "0:1:0 EndAll\n0:1:0 EndAll\n0:0:255 EndAll",
         "line 4: instruction time < last instruction's time"},
        {std::string(kTimer) + "0:2:0 Skip 5:0:0\n0:2:0 EndAll\n0:1:0 EndAll",
         "line 4: instruction time < last instruction's time"},   // not behind an earlier Skip either
        {"Construct Nothing a", "line 1: component type 'Nothing' doesn't exist"},
        {"Construct thing a", "line 1: component type 'thing' doesn't exist"},
        // A name is resolved before the next token is read.
        {std::string(kTimer) + "0:0:0 Set\nb\n\n0:1:0 EndAll", "line 3: component 'b' doesn't exist"},
        {destructed + "Destruct a\n", "line 4: component 'a' is destructed"},
        {destructed + "Set a", "line 4: component 'a' is destructed"},
        // A value is checked once the token after it was read.
        {"Construct Thing a {\n  f = 3, true\n}\n",
         "line 3 component type Thing: variable 'f' type doesn't match component definition (should be Float)"},
        // Repeated variables are found after every value was converted.
        {"Construct Thing a { i = 1 f = 2 i = 3 f = 4 }",
         "line 1: variable 'i' defined multiple times in the same variable block"},
        {"Construct Thing a { f = 1 f = true }",
         "line 1 component type Thing: variable 'f' type doesn't match component definition (should be Float)"},
        {"Construct Thing a { zz = 1 }", "line 1: component type Thing doesn't have variable named 'zz'"},
        {"Construct Thing a { e = FRONT }", "line 1: Enum 'Layers' doesn't exists"},
        {"Enum Layers { A } Construct Thing a { e = FRONT }", "line 1 Enum Layers doesn't have member 'FRONT'"},
        {"Construct Thing a { f = Key 0,0,CUBIC A B }", "line 1 Enum KeyType doesn't have member 'CUBIC'"},
        {"Construct Thing a { f = Key 0,0,LINEAR CONSTANT JUMP }", "line 1 Enum Behavior doesn't have member 'JUMP'"},
        // Only a plain number is an alpha: an envelope there is checked and then ignored.
        {"Construct Thing a { c = 1, 2, 3, Key 0,9,LINEAR A B }", "line 1 Enum Behavior doesn't have member 'A'"},
        {"Construct Thing a { broken = 1 }", "internal error in type check: unknown type"},
        {"Enum E { A B A }", "line 1 Enum E: member 'A' already exists"},
        {"Enum E { A }\nEnum E { }", "line 2: Enum 'E' already exists"},
        // Any bytes end in a message, however long a name or deep a value.
        {"Construct Thing " + std::string(100000, 'x'),
         "line 1 syntax error: '' found Constructs or Time or Song or AudioStream expected "},
    };
    for (const auto& [script, expected] : cases)
        EXPECT_EQ(messageOf(script), expected) << script.substr(0, 80);
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>((i * 7919) % 256);
    EXPECT_NE(messageOf(noise), "<no fatal error>");
    std::string deep = "Construct Thing a { f = 1";
    for (int i = 0; i < 200000; ++i)
        deep += ", Key 0,0,LINEAR A B";
    EXPECT_EQ(messageOf(deep + " }"), "line 1 Enum Behavior doesn't have member 'A'");
    // A value that does not fit its declaration names the type it should be.
    const std::pair<std::string, std::string> mismatches[] = {
        {"f = 1, \"x\"", "Float"}, {"b = 1", "Bool"}, {"i = true", "Int"}, {"i = 1, 2", "Int"}, {"c = 1, 2", "Color"},
        {"v3 = 1, 2", "Vector3"}, {"v4 = 1, 2, 3, four", "Vector4"}, {"t = 1, 2, 3, 0, 0, 0, 1, 1", "Transformation"},
        {"s = name", "String"}, {"l = 1, 2.5", "List"}, {"e = 5", "Layers"},
        {"f = Key 0,0,LINEAR,1 CONSTANT CONSTANT", "prebehavior"},
        {"f = Key 0,0,TCB,0,0,0,1 CONSTANT CONSTANT", "prebehavior"},
        {"f = Key 0,0,TCB,0,0 CONSTANT CONSTANT", "bias"},
        {"f = Key 0,0,HERMITE,1 CONSTANT CONSTANT", "outgoingtangent"},
    };
    for (const auto& [assignment, expected] : mismatches) {
        const std::string name = assignment.substr(0, assignment.find(' '));
        EXPECT_EQ(messageOf("Construct Thing a { " + assignment + " }"),
                  "line 1 component type Thing: variable '" + name +
                      "' type doesn't match component definition (should be " + expected + ")")
            << assignment;
    }
}

// (Plain numbers, vectors, colours, bools, strings and lists reach the components in the
// script player's tests: frame rates, light positions, clear colours, Enabled, file names
// and sample numbers.)
TEST(ScriptParserTest, ValuesConvertToTheDeclaredTypeAndPhaseAndSpeedAloneFitEveryType)
{
    EXPECT_FLOAT_EQ(converted("f = 3, 4, 5").constant.floats[0], 3.0f);   // the first value
    // Ints truncate toward zero within their limits.
    const std::pair<const char*, std::int32_t> ints[] = {{"i = 2.9", 2}, {"i = -2.9", -2}, {"i = INF", 2147483647},
                                                          {"i = 1.0e20", 2147483647}, {"e = FRONT", 2}};
    for (const auto& [assignment, value] : ints)
        EXPECT_EQ(converted(assignment).constant.integer, value) << assignment;
    EXPECT_EQ(converted("c = 0, 0, 255, 128").constant.color, 0x800000FFu);
    EXPECT_EQ(converted("c = 300, -5, 0").constant.color, 0xFFFF0000u);
    const Variable animated = converted("c = 1, 2, Key 0,3,STEPPED Key 1,9,STEPPED RESET RESET, Key 0,9,LINEAR "
                                        "CONSTANT CONSTANT");
    EXPECT_EQ(animated.constant.color, 0xFF010203u);
    EXPECT_TRUE(animated.animated(2));
    EXPECT_FALSE(animated.animated(3));
    const Transformation M = converted("t = 1, 2, 3, 0, 0, 0, 0, 1, 1").readTransformation();
    EXPECT_EQ((std::array{M.m[0][0], M.m[1][1], M.m[3][2]}), (std::array{0.0001f, 1.0f, 3.0f}));   // x scale held
    EXPECT_EQ(converted("e = FRONT").referenceName, "Layers");
    // An envelope with several keys is one channel; the constant is its value at time 0.
    const Variable v = converted("f = Key 0,0,LINEAR Key 1,5,TCB,0,0,0 CONSTANT CONSTANT EnvelopeSpeed 2");
    EXPECT_EQ(v.type, ValueType::Float);
    ASSERT_TRUE(v.animated(0));
    EXPECT_EQ(v.channels[0]->keys()[1].shape, KeyType::TCB);
    EXPECT_FLOAT_EQ(v.channels[0]->Evaluate(1.0f), 5.0f);
    EXPECT_FLOAT_EQ(v.channels[0]->Evaluate(9.0f), 5.0f);
    EXPECT_FLOAT_EQ(v.envelopeSpeed, 2.0f);
    EXPECT_FLOAT_EQ(v.constant.floats[0], 0.0f);
    // Phase and speed alone fit every type.
    const Variable phase = converted("s = EnvelopePhase 2");
    EXPECT_EQ(phase.type, ValueType::PhaseOnly);
    EXPECT_FLOAT_EQ(phase.envelopePhase, 2.0f);
    EXPECT_EQ(converted("b = EnvelopeSpeed 3").type, ValueType::SpeedOnly);
    const Variable both = converted("l = EnvelopePhase 1 EnvelopeSpeed -1.5");
    EXPECT_EQ(both.type, ValueType::PhaseAndSpeed);
    EXPECT_FLOAT_EQ(both.envelopeSpeed, -1.5f);
    const Variable tail = converted("v2 = 1, 2 EnvelopePhase 0.5");
    EXPECT_EQ(tail.type, ValueType::Vector2);
    EXPECT_FLOAT_EQ(tail.envelopePhase, 0.5f);
}

}  // namespace
}  // namespace mirva
