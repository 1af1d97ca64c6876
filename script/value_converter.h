#pragma once
// ValueConverter: turns the elements of one parsed value into a variable record, checked
// against the component type's declaration of that variable.
//
// The parser collects a value as two parallel lists: one tag per element (the token code:
// FLOAT, INT, BOOL, STRING, IDENTIFIER, or Key, EnvelopePhase, EnvelopeSpeed) and one
// word per element that carries a value (a float's bits, an int, a bool in the low byte,
// a table index); Key, EnvelopePhase and EnvelopeSpeed carry no word. Where a numeric type
// takes a number, an envelope
//     Key time,value,KEYTYPE[,parameters...] {Key ...} PREBEHAVIOR POSTBEHAVIOR
// may stand instead. A value may end in `EnvelopePhase number` and/or `EnvelopeSpeed
// number`; a value of only those two sets nothing but the phase and speed, whatever the
// declared type.
//
// Every problem ends the program with a message naming the line.
#include <cstdint>
#include <vector>

#include "script/enums.h"
#include "script/script_builder.h"
#include "script/script_scanner.h"
#include "script/script_type.h"
#include "script/variable.h"

namespace mirva {

class ValueConverter {
public:
    // `builder` answers the instance look-ups of Pointer values.
    ValueConverter(const ScriptTables& tables, const Enums& enums, ScriptBuilder& builder);

    // Fills `record` (whose name is set) from the elements: its type, channels, constant,
    // string, integer list, envelope phase and speed.
    void convertAndCheck(const ScriptType& type, Variable& record, const std::vector<std::int32_t>& tags,
                         const std::vector<std::uint32_t>& words, int line) const;

private:
    const ScriptTables& tables_;
    const Enums& enums_;
    ScriptBuilder& builder_;
};

}  // namespace mirva
