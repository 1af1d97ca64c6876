#include "script/enums.h"

#include "io/console.h"
#include "lightwave/envelope.h"

namespace mirva {

void Enums::declareBuiltIn(const std::string& name,
                           std::initializer_list<std::pair<const char*, std::int32_t>> members)
{
    createEnum(name, -1, false);
    for (const auto& [member, value] : members)
        addMember(member, value, -1);
    finishEnum(-1);
}

void Enums::declareCoreEnums()
{
    declareBuiltIn("ZBufferMode", {{"OFF", 0}, {"COMPARE", 1}, {"WRITEANDCOMPARE", 2}});
    declareBuiltIn("KeyType", {{"TCB", KeyType::TCB},
                               {"HERMITE", KeyType::HERMITE},
                               {"BEZIER", KeyType::BEZIER},
                               {"LINEAR", KeyType::LINEAR},
                               {"STEPPED", KeyType::STEPPED}});
    declareBuiltIn("Behavior", {{"RESET", Behavior::RESET},
                                {"CONSTANT", Behavior::CONSTANT},
                                {"REPEAT", Behavior::REPEAT},
                                {"OSCILLATE", Behavior::OSCILLATE},
                                {"OFFSETREPEAT", Behavior::OFFSETREPEAT},
                                {"LINEAR", Behavior::LINEAR}});
}

void Enums::createEnum(const std::string& name, int line, bool user)
{
    declaring_.clear();
    declaringUser_ = user;
    if ((user ? user_ : builtIn_).contains(name))
        Console::error("line %d: Enum '%s' already exists", line, excerpt(name).c_str());
    declaringName_ = name;
}

void Enums::addMember(const std::string& name, std::int32_t value, int line)
{
    if (value == kAutomatic)
        value = static_cast<std::int32_t>(declaring_.size());
    if (!declaring_.emplace(name, value).second)
        Console::error("line %d Enum %s: member '%s' already exists", line, excerpt(declaringName_).c_str(),
                       excerpt(name).c_str());
}

void Enums::finishEnum(int /*line*/)
{
    (declaringUser_ ? user_ : builtIn_).emplace(declaringName_, std::move(declaring_));
    declaring_.clear();
}

std::int32_t Enums::lookup(const std::string& enumName, const std::string& member, int line) const
{
    auto found = builtIn_.find(enumName);
    if (found == builtIn_.end()) {
        found = user_.find(enumName);
        if (found == user_.end())
            Console::error("line %d: Enum '%s' doesn't exists", line, excerpt(enumName).c_str());
    }
    const auto value = found->second.find(member);
    if (value == found->second.end())
        Console::error("line %d Enum %s doesn't have member '%s'", line, excerpt(enumName).c_str(),
                       excerpt(member).c_str());
    return value->second;
}

void Enums::list(std::string& out) const
{
    std::string separator;
    for (int i = 0; i < 39; ++i)
        separator += " -";
    const auto listTable = [&out](const Table& table) {
        for (const auto& [name, members] : table) {
            out += name + "\n{\n";
            for (const auto& member : members)
                out += "    " + member.first + "\n";
            out += "}\n\n";
        }
    };
    out += separator + "\n\nbuilt in enums\n\n";
    listTable(builtIn_);
    out += separator + "\n\nuser specified enums\n\n";
    listTable(user_);
}

}  // namespace mirva
