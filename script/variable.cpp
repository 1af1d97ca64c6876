#include "script/variable.h"

#include <cmath>
#include <limits>

namespace mirva {

namespace {

// Byte positions of the colour channels red, green, blue, alpha in the packed word.
constexpr int kColorShift[4] = {16, 8, 0, 24};

template <std::size_t N>
std::array<float, N> readVector(const Variable& v)
{
    std::array<float, N> out;
    for (std::size_t i = 0; i < N; ++i)
        out[i] = v.channels[i] ? v.channels[i]->Evaluate(v.envelopePhase) : v.constant.floats[i];
    return out;
}

}  // namespace

std::uint32_t colorByte(float value)
{
    const float x = value / 255.0f * 255.0f;
    if (!(x > 0.0f))
        return 0;
    if (x >= 255.0f)
        return 255;
    return static_cast<std::uint32_t>(std::lround(x));
}

std::uint32_t packColor(float red, float green, float blue, float alpha)
{
    return colorByte(alpha) << 24 | colorByte(red) << 16 | colorByte(green) << 8 | colorByte(blue);
}

std::int32_t truncateToInt(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (value < -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::string valueTypeName(const Variable& declaration)
{
    switch (declaration.type) {
    case ValueType::Undefined: return "ERROR: variable type is undefined";
    case ValueType::Float: return "Float";
    case ValueType::Bool: return "Bool";
    case ValueType::Int: return "Int";
    case ValueType::Color: return "Color";
    case ValueType::Vector2: return "Vector2";
    case ValueType::Vector3: return "Vector3";
    case ValueType::Vector4: return "Vector4";
    case ValueType::Transformation: return "Transformation";
    case ValueType::String: return "String";
    case ValueType::Enum:
    case ValueType::Pointer: return declaration.referenceName;
    case ValueType::List: return "List";
    default: return "unknown";
    }
}

void Variable::assign(const Variable& source)
{
    switch (source.type) {
    case ValueType::PhaseOnly:
        envelopePhase = source.envelopePhase;
        return;
    case ValueType::SpeedOnly:
        envelopeSpeed = source.envelopeSpeed;
        return;
    case ValueType::PhaseAndSpeed:
        envelopePhase = source.envelopePhase;
        envelopeSpeed = source.envelopeSpeed;
        return;
    default:
        break;
    }
    channels = source.channels;
    envelopePhase = source.envelopePhase;
    envelopeSpeed = source.envelopeSpeed;
    const auto copyFloats = [&](std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            constant.floats[i] = source.constant.floats[i];
    };
    switch (type) {
    case ValueType::Float: copyFloats(1); break;
    case ValueType::Int:
    case ValueType::Enum: constant.integer = source.constant.integer; break;
    case ValueType::Bool: constant.boolean = source.constant.boolean; break;
    case ValueType::Color: constant.color = source.constant.color; break;
    case ValueType::Pointer: constant.pointer = source.constant.pointer; break;
    case ValueType::Vector2: copyFloats(2); break;
    case ValueType::Vector3: copyFloats(3); break;
    case ValueType::Vector4: copyFloats(4); break;
    case ValueType::Transformation:
        copyFloats(12);
        constant.channels = source.constant.channels;
        break;
    case ValueType::String: stringValue = source.stringValue; break;
    case ValueType::List: integerList = source.integerList; break;
    default: break;
    }
}

float Variable::readFloat() const
{
    return channels[0] ? channels[0]->Evaluate(envelopePhase) : constant.floats[0];
}

std::uint32_t Variable::readColor() const
{
    std::uint32_t color = constant.color;
    for (int c = 0; c < 4; ++c) {
        if (!channels[static_cast<std::size_t>(c)])
            continue;
        // An envelope that overshoots the byte range stays at its end instead of wrapping.
        const std::uint32_t byte = colorByte(channels[static_cast<std::size_t>(c)]->Evaluate(envelopePhase));
        color = (color & ~(0xFFu << kColorShift[c])) | byte << kColorShift[c];
    }
    return color;
}

std::array<float, 2> Variable::readVector2() const
{
    return readVector<2>(*this);
}

std::array<float, 3> Variable::readVector3() const
{
    return readVector<3>(*this);
}

std::array<float, 4> Variable::readVector4() const
{
    return readVector<4>(*this);
}

Transformation Variable::readTransformation() const
{
    Transformation M;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            M.m[r][c] = constant.floats[static_cast<std::size_t>(r * 3 + c)];
    std::array<float, 9> value = constant.channels;
    bool rotationAnimated = false;
    for (std::size_t i = 0; i < 9; ++i) {
        if (!channels[i])
            continue;
        value[i] = channels[i]->Evaluate(envelopePhase);
        if (i < 3)
            M.m[3][i] = value[i];
        else
            rotationAnimated = true;
    }
    // Angles and scales without an envelope keep the numbers they were written with.
    if (rotationAnimated)
        setRotationAndScale(M, value[3], value[4], value[5], value[6], value[7], value[8]);
    return M;
}

void Variable::setFloat(float value)
{
    constant.floats[0] = value;
}

void Variable::setColor(std::uint32_t packed)
{
    constant.color = packed;
}

void Variable::setVector(std::initializer_list<float> values)
{
    std::size_t i = 0;
    for (float v : values)
        constant.floats.at(i++) = v;
}

void Variable::setTransformation(const std::array<float, 9>& channelValues)
{
    constant.channels = channelValues;
    Transformation M = Transformation::identity();
    setRotationAndScale(M, channelValues[3], channelValues[4], channelValues[5], channelValues[6], channelValues[7],
                        channelValues[8]);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            constant.floats[static_cast<std::size_t>(r * 3 + c)] = M.m[r][c];
    for (std::size_t c = 0; c < 3; ++c)
        constant.floats[9 + c] = channelValues[c];
}

}  // namespace mirva
