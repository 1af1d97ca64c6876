#include "io/number_text.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>

namespace mirva {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// Length of an exponent starting at `at`, or 0 when there is no complete one.
std::size_t exponentLength(std::string_view text, std::size_t at)
{
    if (at >= text.size() || (text[at] != 'e' && text[at] != 'E'))
        return 0;
    std::size_t p = at + 1;
    if (p < text.size() && (text[p] == '+' || text[p] == '-'))
        ++p;
    const std::size_t digitsEnd = skipDigits(text, p);
    return digitsEnd > p ? digitsEnd - at : 0;
}

// The conversions need a terminated copy; numbers are short, so most fit on the stack.
template <typename Convert>
auto withTerminatedCopy(std::string_view number, Convert convert)
{
    char small[64];
    if (number.size() < sizeof small) {
        number.copy(small, number.size());
        small[number.size()] = '\0';
        return convert(small);
    }
    const std::string copy(number);
    return convert(copy.c_str());
}

}  // namespace

NumberMatch matchNumber(std::string_view text)
{
    std::size_t p = 0;
    if (p < text.size() && text[p] == '-')
        ++p;
    if (p < text.size() && isDigit(text[p])) {
        p = skipDigits(text, p);
        if (p < text.size() && text[p] == '.') {
            p = skipDigits(text, p + 1);
            return {p + exponentLength(text, p), true};
        }
        return {p, false};
    }
    if (p + 1 < text.size() && text[p] == '.' && isDigit(text[p + 1])) {
        p = skipDigits(text, p + 1);
        return {p + exponentLength(text, p), true};
    }
    return {};
}

float decimalToFloat(std::string_view number)
{
    // Both conversions round correctly; the C library's also answers for numbers beyond
    // the range of a double.
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc() && end == number.data() + number.size())
        return static_cast<float>(value);
    return withTerminatedCopy(number, [](const char* s) { return static_cast<float>(std::strtod(s, nullptr)); });
}

std::int32_t decimalToInt(std::string_view number)
{
    return withTerminatedCopy(number, [](const char* s) {
        const long long value = std::strtoll(s, nullptr, 10);
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::numeric_limits<std::int32_t>::max();
        if (value < std::numeric_limits<std::int32_t>::min())
            return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(value);
    });
}

}  // namespace mirva
