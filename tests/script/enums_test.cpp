// Enumerations: declaration, automatic values, lookups, the listing and every message.
#include "script/enums.h"

#include <gtest/gtest.h>

#include "tests/support/fatal.h"

namespace mirva {
namespace {

void declare(Enums& enums, const std::string& name, std::initializer_list<const char*> members, int line = 1)
{
    enums.createEnum(name, line, true);
    for (const char* member : members)
        enums.addMember(member, Enums::kAutomatic, line);
    enums.finishEnum(line);
}

TEST(EnumsTest, ScriptMembersCountFromZeroInDeclarationOrder)
{
    Enums enums;
    declare(enums, "Layers", {"BACK", "MIDDLE", "FRONT"});
    EXPECT_EQ(enums.lookup("Layers", "BACK", 3), 0);
    EXPECT_EQ(enums.lookup("Layers", "MIDDLE", 3), 1);
    EXPECT_EQ(enums.lookup("Layers", "FRONT", 3), 2);
}

TEST(EnumsTest, CoreEnumsHaveTheirValues)
{
    Enums enums;
    enums.declareCoreEnums();
    EXPECT_EQ(enums.lookup("ZBufferMode", "WRITEANDCOMPARE", 1), 2);
    EXPECT_EQ(enums.lookup("KeyType", "TCB", 1), 0);
    EXPECT_EQ(enums.lookup("KeyType", "STEPPED", 1), 4);
    EXPECT_EQ(enums.lookup("Behavior", "OFFSETREPEAT", 1), 4);
    // LINEAR is a member of both; each lookup names its enum.
    EXPECT_EQ(enums.lookup("KeyType", "LINEAR", 1), 3);
    EXPECT_EQ(enums.lookup("Behavior", "LINEAR", 1), 5);
}

TEST(EnumsTest, ExplicitValuesAreKept)
{
    Enums enums;
    enums.createEnum("ReferencePoint", -1, false);
    enums.addMember("LEFT", 3, -1);
    enums.addMember("CENTER", 4, -1);
    enums.addMember("RIGHT", 5, -1);
    enums.finishEnum(-1);
    EXPECT_EQ(enums.lookup("ReferencePoint", "RIGHT", 9), 5);
    EXPECT_TRUE(enums.user().empty());
}

TEST(EnumsTest, UnknownEnumsAndMembersAreFatal)
{
    Enums enums;
    enums.declareCoreEnums();
    EXPECT_FATAL(enums.lookup("Layers", "FRONT", 7), "line 7: Enum 'Layers' doesn't exists");
    EXPECT_FATAL(enums.lookup("KeyType", "CUBIC", 3), "line 3 Enum KeyType doesn't have member 'CUBIC'");
    EXPECT_FATAL(enums.lookup("KeyType", "tcb", 3), "line 3 Enum KeyType doesn't have member 'tcb'");
}

TEST(EnumsTest, DuplicatesAreFatal)
{
    Enums enums;
    declare(enums, "Layers", {"A"});
    EXPECT_FATAL(enums.createEnum("Layers", 4, true), "line 4: Enum 'Layers' already exists");
    enums.createEnum("Other", 5, true);
    enums.addMember("BACK", Enums::kAutomatic, 5);
    EXPECT_FATAL(enums.addMember("BACK", Enums::kAutomatic, 6), "line 6 Enum Other: member 'BACK' already exists");

    Enums builtIn;
    builtIn.declareCoreEnums();
    EXPECT_FATAL(builtIn.createEnum("KeyType", -1, false), "line -1: Enum 'KeyType' already exists");
}

TEST(EnumsTest, AUserEnumMayReuseABuiltInNameButIsNotFound)
{
    Enums enums;
    enums.declareCoreEnums();
    declare(enums, "KeyType", {"SMOOTH", "TCB"});
    EXPECT_EQ(enums.lookup("KeyType", "TCB", 1), 0);
    EXPECT_FATAL(enums.lookup("KeyType", "SMOOTH", 2), "line 2 Enum KeyType doesn't have member 'SMOOTH'");
}

TEST(EnumsTest, ClearingForgetsOnlyUserEnums)
{
    Enums enums;
    enums.declareCoreEnums();
    declare(enums, "Layers", {"BACK"});
    enums.clearUserEnums();
    EXPECT_FATAL(enums.lookup("Layers", "BACK", 1), "line 1: Enum 'Layers' doesn't exists");
    EXPECT_EQ(enums.lookup("ZBufferMode", "OFF", 1), 0);
    declare(enums, "Layers", {"FRONT"});  // may be declared anew
    EXPECT_EQ(enums.lookup("Layers", "FRONT", 1), 0);
}

TEST(EnumsTest, ListingPrintsNamesInByteOrder)
{
    Enums enums;
    enums.declareCoreEnums();
    declare(enums, "Layers", {"b", "A", "_c"});
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
