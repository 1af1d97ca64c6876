#include "script/script_scanner.h"

#include <array>
#include <bit>

#include "io/number_text.h"

namespace mirva {

namespace {

enum CharClass : std::uint8_t { Other, Blank, LineFeed, NumberStart, Letter, Slash, Quote, Single };

constexpr std::array<std::uint8_t, 256> makeClasses()
{
    std::array<std::uint8_t, 256> classes{};
    classes[' '] = classes['\t'] = Blank;
    classes['\n'] = LineFeed;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = NumberStart;
    classes['-'] = classes['.'] = NumberStart;  // or the character alone
    for (int c = 'a'; c <= 'z'; ++c)
        classes[c] = Letter;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[c] = Letter;
    classes['_'] = Letter;
    classes['/'] = Slash;
    classes['"'] = Quote;
    for (unsigned char c : std::string_view(":;=()[]{},+*"))
        classes[c] = Single;
    return classes;
}

constexpr std::array<std::uint8_t, 256> kClasses = makeClasses();

bool continuesWord(char c)
{
    const std::uint8_t k = kClasses[static_cast<unsigned char>(c)];
    return k == Letter || (c >= '0' && c <= '9');
}

bool endsString(char c)
{
    return c == '"' || c == '\n' || c == '(' || c == ')';
}

// Words that are not identifiers: the keywords, INF and the four spellings of a bool.
struct ReservedWord {
    std::string_view text;
    int token;
    std::uint32_t word;
};

constexpr ReservedWord kReserved[] = {
    {"Info", ScriptToken::Info, 0},
    {"Song", ScriptToken::Song, 0},
    {"Timer", ScriptToken::Timer, 0},
    {"AudioStream", ScriptToken::AudioStream, 0},
    {"Construct", ScriptToken::Construct, 0},
    {"Destruct", ScriptToken::Destruct, 0},
    {"Set", ScriptToken::Set, 0},
    {"Begin", ScriptToken::Begin, 0},
    {"End", ScriptToken::End, 0},
    {"SampleMessageBegin", ScriptToken::SampleMessageBegin, 0},
    {"SampleMessageEnd", ScriptToken::SampleMessageEnd, 0},
    {"EndAll", ScriptToken::EndAll, 0},
    {"Skip", ScriptToken::Skip, 0},
    {"Enum", ScriptToken::Enum, 0},
    {"Key", ScriptToken::Key, 0},
    {"EnvelopePhase", ScriptToken::EnvelopePhase, 0},
    {"EnvelopeSpeed", ScriptToken::EnvelopeSpeed, 0},
    {"INF", ScriptToken::Int, 2147483647u},
    {"true", ScriptToken::Bool, 1},
    {"TRUE", ScriptToken::Bool, 1},
    {"false", ScriptToken::Bool, 0},
    {"FALSE", ScriptToken::Bool, 0},
};

}  // namespace

ScriptScanner::ScriptScanner(std::string_view text, ScriptTables& tables, std::FILE* echo)
    : text_(text), tables_(tables), echo_(echo)
{
}

float ScriptScanner::floatValue() const
{
    return std::bit_cast<float>(word_);
}

int ScriptScanner::next()
{
    const std::size_t n = text_.size();
    while (pos_ < n) {
        const char c = text_[pos_];
        switch (kClasses[static_cast<unsigned char>(c)]) {
        case LineFeed:
            ++line_;
            ++pos_;
            continue;
        case Blank:
            while (pos_ < n && (text_[pos_] == ' ' || text_[pos_] == '\t'))
                ++pos_;
            continue;
        case Slash:
            if (pos_ + 1 < n && text_[pos_ + 1] == '/') {
                // A comment ends before its line feed, which then counts the line.
                const std::size_t lineEnd = text_.find('\n', pos_);
                pos_ = lineEnd == std::string_view::npos ? n : lineEnd;
                continue;
            }
            return take(pos_ + 1, '/');
        case NumberStart: {
            const NumberMatch number = matchNumber(text_.substr(pos_));
            if (number.length == 0)
                return take(pos_ + 1, static_cast<unsigned char>(c));
            const std::string_view digits = text_.substr(pos_, number.length);
            if (number.isFloat) {
                word_ = std::bit_cast<std::uint32_t>(decimalToFloat(digits));
                return take(pos_ + number.length, ScriptToken::Float);
            }
            word_ = static_cast<std::uint32_t>(decimalToInt(digits));
            return take(pos_ + number.length, ScriptToken::Int);
        }
        case Letter: {
            std::size_t end = pos_ + 1;
            while (end < n && continuesWord(text_[end]))
                ++end;
            return wordToken(end);
        }
        case Quote: {
            std::size_t end = pos_ + 1;
            while (end < n && !endsString(text_[end]))
                ++end;
            if (end < n && text_[end] == '"') {
                tables_.strings.emplace_back(text_.substr(pos_ + 1, end - pos_ - 1));
                word_ = static_cast<std::uint32_t>(tables_.strings.size() - 1);
                return take(end + 1, ScriptToken::String);
            }
            break;  // an unclosed quote is a character like any other
        }
        case Single:
            return take(pos_ + 1, static_cast<unsigned char>(c));
        default:
            break;
        }
        if (echo_)
            std::fputc(c, echo_);
        ++pos_;
    }
    token_ = {};
    word_ = 0;
    return ScriptToken::EndOfInput;
}

int ScriptScanner::wordToken(std::size_t end)
{
    const std::string_view word = text_.substr(pos_, end - pos_);
    for (const ReservedWord& reserved : kReserved)
        if (reserved.text.size() == word.size() && reserved.text[0] == word[0] && reserved.text == word) {
            word_ = reserved.word;
            return take(end, reserved.token);
        }
    tables_.identifiers.emplace_back(word);
    word_ = static_cast<std::uint32_t>(tables_.identifiers.size() - 1);
    return take(end, ScriptToken::Identifier);
}

int ScriptScanner::take(std::size_t end, int token)
{
    token_ = text_.substr(pos_, end - pos_);
    pos_ = end;
    return token;
}

}  // namespace mirva
