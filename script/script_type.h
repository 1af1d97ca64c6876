#pragma once
// ScriptType and ScriptInstance: what the script language knows of component types and
// their instances.
//
// The parser, the value checks and the parameter reference work on these two bases only;
// the component framework derives its ComponentType and Component from them and adds
// everything that creates, plays and draws instances. A type is a name, a one-line
// description and its variable declarations in declaration order; an instance is a name,
// its type and its lifecycle state.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/variable.h"

namespace mirva {

class ScriptType {
public:
    ScriptType(std::string name, std::string description);
    virtual ~ScriptType() = default;
    ScriptType(const ScriptType&) = delete;
    ScriptType& operator=(const ScriptType&) = delete;

    // The name scripts use, matched exactly.
    const std::string& name() const { return name_; }
    // One line for the parameter reference.
    const std::string& description() const { return description_; }

    const std::vector<Variable>& declarations() const { return declarations_; }
    // Index of the first declaration with exactly this name, or -1.
    int findDeclaration(std::string_view name) const;
    const Variable* declaration(std::string_view name) const;

protected:
    // Both return the index of the new declaration. The reference name is kept only for
    // Enum (the enum's name) and Pointer (the pointed type's name).
    int declareConstructionParameter(std::int32_t identifier, std::int32_t type, const std::string& name,
                                     const std::string& referenceName = {});
    int declareParameter(std::int32_t identifier, std::int32_t type, const std::string& name,
                         const std::string& referenceName = {});
    // Removes the first declaration of that name, if there is one; later ones move up.
    void removeDeclaration(std::string_view name);

private:
    int declare(bool constructionParameter, std::int32_t identifier, std::int32_t type, const std::string& name,
                const std::string& referenceName);

    std::string name_;
    std::string description_;
    std::vector<Variable> declarations_;
};

namespace LifecycleState {
enum : std::int32_t { NotConstructed = 0, Constructed = 1, Destructed = 2 };
}

class ScriptInstance {
public:
    ScriptInstance() = default;
    virtual ~ScriptInstance() = default;
    ScriptInstance(const ScriptInstance&) = delete;
    ScriptInstance& operator=(const ScriptInstance&) = delete;

    virtual const ScriptType& getType() const = 0;

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // While a script is parsed the state follows the script order (so references can be
    // checked); from the end of the load on it follows playback.
    std::int32_t lifecycleState() const { return lifecycleState_; }
    void setLifecycleState(std::int32_t state) { lifecycleState_ = state; }

private:
    std::string name_;
    std::int32_t lifecycleState_ = LifecycleState::NotConstructed;
};

}  // namespace mirva
