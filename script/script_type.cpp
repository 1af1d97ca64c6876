#include "script/script_type.h"

#include <utility>

namespace mirva {

ScriptType::ScriptType(std::string name, std::string description)
    : name_(std::move(name)), description_(std::move(description))
{
}

int ScriptType::findDeclaration(std::string_view name) const
{
    for (std::size_t i = 0; i < declarations_.size(); ++i)
        if (declarations_[i].name == name)
            return static_cast<int>(i);
    return -1;
}

const Variable* ScriptType::declaration(std::string_view name) const
{
    const int i = findDeclaration(name);
    return i < 0 ? nullptr : &declarations_[static_cast<std::size_t>(i)];
}

int ScriptType::declareConstructionParameter(std::int32_t identifier, std::int32_t type, const std::string& name,
                                             const std::string& referenceName)
{
    return declare(true, identifier, type, name, referenceName);
}

int ScriptType::declareParameter(std::int32_t identifier, std::int32_t type, const std::string& name,
                                 const std::string& referenceName)
{
    return declare(false, identifier, type, name, referenceName);
}

void ScriptType::removeDeclaration(std::string_view name)
{
    const int i = findDeclaration(name);
    if (i >= 0)
        declarations_.erase(declarations_.begin() + i);
}

int ScriptType::declare(bool constructionParameter, std::int32_t identifier, std::int32_t type,
                        const std::string& name, const std::string& referenceName)
{
    Variable& d = declarations_.emplace_back();
    d.name = name;
    d.constructionParameter = constructionParameter;
    d.identifier = identifier;
    d.type = type;
    if (type == ValueType::Enum || type == ValueType::Pointer)
        d.referenceName = referenceName;
    return static_cast<int>(declarations_.size() - 1);
}

}  // namespace mirva
