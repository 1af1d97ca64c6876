// Enumerations: declaration, automatic values, lookups, the listing and every message.
#include "script/enums.h"

#include <gtest/gtest.h>

#include "tests/support/fatal.h"

namespace mirva {
namespace {

// The built-in enums and a script's "Layers { BACK MIDDLE FRONT }".
class EnumsTest : public testing::Test {
protected:
    EnumsTest()
    {
        enums.declareCoreEnums();
        declare("Layers", {"BACK", "MIDDLE", "FRONT"});
    }
    void declare(const std::string& name, std::initializer_list<const char*> members, int line = 1)
    {
        enums.createEnum(name, line, true);
        for (const char* member : members)
            enums.addMember(member, Enums::kAutomatic, line);
        enums.finishEnum(line);
    }
    Enums enums;
};

TEST_F(EnumsTest, MembersCountFromZeroOrKeepTheirValuesAndEachLookupNamesItsEnum)
{
    EXPECT_EQ(enums.lookup("Layers", "BACK", 3), 0);
    EXPECT_EQ(enums.lookup("Layers", "MIDDLE", 3), 1);
    EXPECT_EQ(enums.lookup("Layers", "FRONT", 3), 2);
    // LINEAR is a member of both.
    EXPECT_EQ(enums.lookup("KeyType", "LINEAR", 1), 3);
    EXPECT_EQ(enums.lookup("Behavior", "LINEAR", 1), 5);
    enums.createEnum("ReferencePoint", -1, false);
    enums.addMember("LEFT", 3, -1);
    enums.addMember("RIGHT", 5, -1);
    enums.finishEnum(-1);
    EXPECT_EQ(enums.lookup("ReferencePoint", "RIGHT", 9), 5);
    EXPECT_EQ(enums.user().size(), 1u);   // a built-in enum is no user enum
}

TEST_F(EnumsTest, UnknownAndDuplicateNamesAreFatal)
{
    EXPECT_FATAL(enums.lookup("Layer", "FRONT", 7), "line 7: Enum 'Layer' doesn't exists");
    EXPECT_FATAL(enums.lookup("KeyType", "CUBIC", 3), "line 3 Enum KeyType doesn't have member 'CUBIC'");
    EXPECT_FATAL(enums.lookup("KeyType", "tcb", 3), "line 3 Enum KeyType doesn't have member 'tcb'");
    EXPECT_FATAL(enums.createEnum("Layers", 4, true), "line 4: Enum 'Layers' already exists");
    EXPECT_FATAL(enums.createEnum("KeyType", -1, false), "line -1: Enum 'KeyType' already exists");
    enums.createEnum("Other", 5, true);
    enums.addMember("BACK", Enums::kAutomatic, 5);
    EXPECT_FATAL(enums.addMember("BACK", Enums::kAutomatic, 6), "line 6 Enum Other: member 'BACK' already exists");
}

TEST_F(EnumsTest, AUserEnumMayReuseABuiltInNameButIsNotFound)
{
    declare("KeyType", {"SMOOTH", "TCB"});
    EXPECT_EQ(enums.lookup("KeyType", "TCB", 1), 0);
    EXPECT_FATAL(enums.lookup("KeyType", "SMOOTH", 2), "line 2 Enum KeyType doesn't have member 'SMOOTH'");
}

TEST_F(EnumsTest, ClearingForgetsOnlyUserEnums)
{
    enums.clearUserEnums();
    EXPECT_FATAL(enums.lookup("Layers", "BACK", 1), "line 1: Enum 'Layers' doesn't exists");
    EXPECT_EQ(enums.lookup("ZBufferMode", "OFF", 1), 0);
    declare("Layers", {"FRONT"});  // may be declared anew
    EXPECT_EQ(enums.lookup("Layers", "FRONT", 1), 0);
}

TEST_F(EnumsTest, ListingPrintsNamesInByteOrder)
{
    enums.clearUserEnums();
    declare("Layers", {"b", "A", "_c"});
    std::string out;
    enums.list(out);
    const std::string separator =
        " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -";
    EXPECT_EQ(out, separator + "\n\n"
                               "built in enums\n\n"
                               "Behavior\n{\n    CONSTANT\n    LINEAR\n    OFFSETREPEAT\n    OSCILLATE\n"
                               "    REPEAT\n    RESET\n}\n\n"
                               "KeyType\n{\n    BEZIER\n    HERMITE\n    LINEAR\n    STEPPED\n    TCB\n}\n\n"
                               "ZBufferMode\n{\n    COMPARE\n    OFF\n    WRITEANDCOMPARE\n}\n\n" +
                       separator + "\n\n"
                                   "user specified enums\n\n"
                                   "Layers\n{\n    A\n    _c\n    b\n}\n\n");
}

}  // namespace
}  // namespace mirva
