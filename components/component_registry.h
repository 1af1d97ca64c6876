#pragma once
// ComponentRegistry: the process-wide framework state. It holds one descriptor of every
// component type, in registry order, and the two enum tables (built-in and user).
//
// Made on first use: the core enums are declared first, then the types are created in
// registry order, each declaring its own enums and variables. Lives until the process
// ends.
#include <memory>
#include <string_view>
#include <vector>

#include "components/component_type.h"
#include "script/enums.h"
#include "script/script_type.h"

namespace mirva {

class ComponentRegistry {
public:
    static ComponentRegistry& instance();

    // The type whose name is exactly `name`, or null.
    const ComponentType* find(std::string_view name) const;

    const std::vector<std::unique_ptr<ComponentType>>& types() const { return types_; }
    // The same types, as the script language sees them.
    std::vector<const ScriptType*> scriptTypes() const;

    Enums& enums() { return enums_; }

private:
    ComponentRegistry();

    Enums enums_;
    std::vector<std::unique_ptr<ComponentType>> types_;
};

}  // namespace mirva
