#pragma once
// Variable: the record of one typed script variable.
//
// The same record serves three purposes: a component type's declaration of a variable
// (name, type, identifier, construction-parameter flag, and for Enum and Pointer the
// name of the enum or of the pointed type), an assignment in a script's variable block
// (after the value was converted and checked), and a component's own state for an
// animatable value (assigned from script records, read every frame).
//
// A numeric value is made of channels: a Float has one, a Color four (red, green, blue,
// alpha), Vector2..4 two to four, a Transformation nine (x, y, z, heading, pitch, bank,
// scale x, y, z; angles in radians). Each channel is either the constant number or an
// envelope played at the record's envelope phase, which `advance` moves on by the frame
// time times the envelope speed. Records share their envelopes: copies are cheap and an
// envelope lives as long as any record that plays it.
//
// A record that carries only `EnvelopePhase` and/or `EnvelopeSpeed` (types 13 to 15)
// changes only the phase and speed of the record it is assigned to.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lightwave/envelope.h"
#include "lightwave/transformation.h"

namespace mirva {

class ScriptInstance;

// Value type codes; the names the parameter reference prints are in valueTypeName.
namespace ValueType {
enum : std::int32_t {
    Undefined = 0,
    Float = 1,
    Bool = 2,
    Int = 3,
    Color = 4,
    Vector2 = 5,
    Vector3 = 6,
    Vector4 = 7,
    Transformation = 8,
    String = 9,
    Enum = 10,
    List = 11,
    Pointer = 12,
    PhaseOnly = 13,
    SpeedOnly = 14,
    PhaseAndSpeed = 15,
};
}

// The value of a record without its envelopes. Which member holds it depends on the type.
struct VariableConstant {
    // Float: [0]. Vector2..4: [0..3]. Transformation: the 3x3 rotation and scale, row by
    // row, then the translation x, y, z.
    std::array<float, 12> floats{};
    std::int32_t integer = 0;  // Int, Enum
    std::uint32_t color = 0;   // alpha 24-31, red 16-23, green 8-15, blue 0-7
    bool boolean = false;
    ScriptInstance* pointer = nullptr;
    // Transformation: the nine channel numbers as written (an envelope's value at time 0),
    // used when the matrix is rebuilt around animated angles or scales.
    std::array<float, 9> channels{0, 0, 0, 0, 0, 0, 1, 1, 1};
};

struct Variable {
    static constexpr int kChannels = 9;

    std::string name;
    // Enum: the enum's name. Pointer: the pointed component type's name.
    std::string referenceName;
    bool constructionParameter = false;
    std::array<std::shared_ptr<const Envelope>, kChannels> channels;
    std::int32_t type = ValueType::Undefined;
    std::int32_t identifier = -1;
    float envelopePhase = 0.0f;
    float envelopeSpeed = 1.0f;
    std::string stringValue;
    std::vector<std::int32_t> integerList;
    VariableConstant constant;

    // Copies a converted script record into this one, whose type was set by the
    // declaration: phase and speed only for types 13-15; otherwise the envelopes, phase,
    // speed and the value part that this record's type uses.
    void assign(const Variable& source);
    void advance(float seconds) { envelopePhase += seconds * envelopeSpeed; }

    // Readers: animated channels are evaluated at the envelope phase.
    float readFloat() const;
    bool readBool() const { return constant.boolean; }
    std::int32_t readInt() const { return constant.integer; }
    std::uint32_t readColor() const;
    std::array<float, 2> readVector2() const;
    std::array<float, 3> readVector3() const;
    std::array<float, 4> readVector4() const;
    Transformation readTransformation() const;
    const std::string& readString() const { return stringValue; }
    const std::vector<std::int32_t>& readIntegerList() const { return integerList; }
    ScriptInstance* readPointer() const { return constant.pointer; }

    // Constant values, with no envelopes.
    void setFloat(float value);
    void setColor(std::uint32_t packed);
    void setVector(std::initializer_list<float> values);
    // The matrix of the nine channel numbers (translation, angles in radians, scales).
    void setTransformation(const std::array<float, 9>& channelValues);
    void clearChannels() { channels = {}; }

    bool animated(int channel) const { return channels[static_cast<std::size_t>(channel)] != nullptr; }
};

// The type name of a declaration as messages and the parameter reference print it: the
// enum's name for Enum, the pointed type's name for Pointer.
std::string valueTypeName(const Variable& declaration);

// A colour byte from a channel number: rounded to the nearest integer and held to 0..255.
std::uint32_t colorByte(float value);
// Packs four channel numbers (0..255 each, held to that range) into a colour word.
std::uint32_t packColor(float red, float green, float blue, float alpha);

// A float truncated toward zero into a 32-bit int; beyond the range it stops at the
// limits (not a number gives 0).
std::int32_t truncateToInt(float value);

}  // namespace mirva
