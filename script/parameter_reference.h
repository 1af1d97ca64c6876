#pragma once
// The parameter reference: a plain-text description of the script language that a script
// beginning with `Info` writes to "parameters.txt" in the working directory. Fixed text on
// the instructions and value types, then every component type with its variables and
// their types (construction parameters first), then the built-in and the script's own
// enums. Generated from the declarations, so it always matches the program.
#include <string>
#include <vector>

#include "script/enums.h"
#include "script/script_type.h"

namespace mirva {

constexpr const char* kParameterReferenceFile = "parameters.txt";

// The whole reference for these types, in this order.
std::string parameterReferenceText(const std::vector<const ScriptType*>& types, const Enums& enums);

// Creates or truncates "parameters.txt" in the working directory and writes the reference.
void writeParameterReference(const std::vector<const ScriptType*>& types, const Enums& enums);

}  // namespace mirva
