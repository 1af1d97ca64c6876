#pragma once
// ComponentType: the descriptor of one kind of component (one object per type for the
// whole process, held by the ComponentRegistry). It names the type, declares the
// variables a script may set on its instances and creates the instances.
//
// The base declares the twelve common variables; the concrete constructor then declares
// the type's own enums and variables, numbering its identifiers from 0.
#include <memory>
#include <string>

#include "script/script_type.h"

namespace mirva {

class Component;

class ComponentType : public ScriptType {
public:
    ComponentType(std::string name, std::string description);

    // A new instance without resources; construct loads them later.
    virtual std::unique_ptr<Component> createInstance() const = 0;
};

// The descriptor of a type whose instances are objects of class Instance (a Component).
template <class Instance>
class ComponentTypeFor : public ComponentType {
public:
    using ComponentType::ComponentType;
    std::unique_ptr<Component> createInstance() const override { return std::make_unique<Instance>(*this); }
};

}  // namespace mirva
