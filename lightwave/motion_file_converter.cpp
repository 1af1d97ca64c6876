#include "lightwave/motion_file_converter.h"

#include <cstdint>

#include "io/console.h"
#include "io/number_text.h"

namespace mirva {

namespace {

enum class Token { End, Lwmo, NumChannels, Channel, Key, Behaviors, Envelope, Open, Close, Float, Int };

// Longest match over the motion file's few words, braces and numbers. Line feeds count
// lines; blanks and tabs separate; any other character is skipped.
class MotionScanner {
public:
    MotionScanner(std::string_view text, std::FILE* echo) : text_(text), echo_(echo) {}

    Token next()
    {
        static constexpr struct {
            std::string_view word;
            Token token;
        } kWords[] = {{"LWMO", Token::Lwmo},      {"NumChannels", Token::NumChannels}, {"Channel", Token::Channel},
                      {"Key", Token::Key},        {"Behaviors", Token::Behaviors},     {"Envelope", Token::Envelope}};
        while (pos_ < text_.size()) {
            const std::string_view rest = text_.substr(pos_);
            const char c = rest[0];
            if (c == '\n') {
                ++line_;
                ++pos_;
                continue;
            }
            if (c == ' ' || c == '\t') {
                ++pos_;
                continue;
            }
            if (c == '{' || c == '}')
                return take(1, c == '{' ? Token::Open : Token::Close);
            for (const auto& w : kWords)
                if (rest.starts_with(w.word))
                    return take(w.word.size(), w.token);
            const NumberMatch number = matchNumber(rest);
            if (number.length > 0) {
                const std::string_view digits = rest.substr(0, number.length);
                if (number.isFloat)
                    floatValue_ = decimalToFloat(digits);
                else
                    intValue_ = decimalToInt(digits);
                return take(number.length, number.isFloat ? Token::Float : Token::Int);
            }
            if (echo_)
                std::fputc(c, echo_);
            ++pos_;
        }
        token_ = {};
        return Token::End;
    }

    int line() const { return line_; }
    std::string_view tokenText() const { return token_; }
    float floatValue() const { return floatValue_; }
    std::int32_t intValue() const { return intValue_; }

private:
    Token take(std::size_t length, Token token)
    {
        token_ = text_.substr(pos_, length);
        pos_ += length;
        return token;
    }

    std::string_view text_;
    std::FILE* echo_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string_view token_;
    float floatValue_ = 0;
    std::int32_t intValue_ = 0;
};

// Null for a code that is no behaviour.
const char* behaviorWord(std::int32_t code)
{
    static constexpr const char* kWords[] = {"RESET ", "CONSTANT ", "REPEAT ", "OSCILLATE ", "OFFSETREPEAT ", "LINEAR "};
    return code < 0 || code > 5 ? nullptr : kWords[code];
}

// The motion-file grammar, one recursive-descent step per rule, writing as it goes.
class Conversion {
public:
    Conversion(std::string_view text, std::string& out, std::FILE* echo, const std::string& fileName)
        : scanner_(text, echo), out_(out), where_(fileName.empty() ? "" : "motion file '" + excerpt(fileName) + "': ")
    {
    }

    void file()
    {
        require(Token::Lwmo);
        expected_ = "version number";
        require(Token::Int);
        if (scanner_.intValue() != 3)
            fail("motion file version must be 3");
        expected_ = "NumChannels";
        require(Token::NumChannels);
        expected_ = "number of channels";
        require(Token::Int);
        expected_ = "Channel";
        bool first = true;
        for (Token t = scanner_.next(); t != Token::End; t = scanner_.next()) {
            if (t != Token::Channel)
                syntaxError();
            out_ += first ? "\n" : ",\n\n";
            channel();
            first = false;
        }
    }

private:
    void channel()
    {
        expected_ = "channel number";
        require(Token::Int);
        expected_ = "{";
        require(Token::Open);
        expected_ = "Envelope";
        require(Token::Envelope);
        expected_ = "number of keys";
        require(Token::Int);
        expected_ = "Key";
        for (Token t = scanner_.next(); t != Token::Behaviors; t = scanner_.next()) {
            if (t != Token::Key)
                syntaxError();
            key();
            expected_ = "Key or prebehavior";
        }
        expected_ = "prebehavior";
        behavior();
        expected_ = "postbehavior";
        behavior();
        expected_ = "}";
        require(Token::Close);
        expected_ = "Channel or end of file";
    }

    void key()
    {
        expected_ = "value";
        const float value = number();
        expected_ = "time";
        const float time = number();
        expected_ = "shape";
        require(Token::Int);
        const std::int32_t shape = scanner_.intValue();
        expected_ = "tension";
        const float tension = number();
        expected_ = "continuity";
        const float continuity = number();
        expected_ = "bias";
        const float bias = number();
        expected_ = "incoming tangent";
        const float incoming = number();
        expected_ = "outgoing tangent";
        const float outgoing = number();
        expected_ = "dummy";
        number();

        out_ += formatText("Key %f,%f,", static_cast<double>(time), static_cast<double>(value));
        switch (shape) {
        case 0:
            out_ += formatText("TCB,%f,%f,%f\n", static_cast<double>(tension), static_cast<double>(continuity),
                               static_cast<double>(bias));
            break;
        case 1:
            out_ += formatText("HERMITE,%f,%f\n", static_cast<double>(incoming), static_cast<double>(outgoing));
            break;
        case 2:
            out_ += formatText("BEZIER,%f,%f\n", static_cast<double>(incoming), static_cast<double>(outgoing));
            break;
        case 3:
            out_ += "LINEAR\n";
            break;
        case 4:
            // The script reads no parameters after STEPPED, so none are written.
            out_ += "STEPPED\n";
            break;
        default:
            fail("unknown motion shape");
        }
    }

    void require(Token wanted)
    {
        if (scanner_.next() != wanted)
            syntaxError();
    }

    float number()
    {
        const Token t = scanner_.next();
        if (t == Token::Int)
            return static_cast<float>(scanner_.intValue());
        if (t != Token::Float)
            syntaxError();
        return scanner_.floatValue();
    }

    [[noreturn]] void syntaxError()
    {
        // Characters that make no token are skipped: a file that is no motion file at all
        // ends before its first token.
        const std::string found =
            scanner_.tokenText().empty() ? "end of file" : "'" + excerpt(scanner_.tokenText()) + "'";
        fail(formatText("line %d syntax error: ", scanner_.line()) + found + " found " + expected_ + " expected ");
    }

    // Messages name the file when it came through an include.
    [[noreturn]] void fail(const std::string& message) { Console::fatal(where_ + message); }

    void behavior()
    {
        require(Token::Int);
        const char* word = behaviorWord(scanner_.intValue());
        if (!word)
            fail("unknown behavior");
        out_ += word;
    }

    MotionScanner scanner_;
    std::string& out_;
    std::string where_;
    std::string expected_ = "LWMO";
};

}  // namespace

void MotionFileConverter::Convert(std::string_view text, std::string& out, std::FILE* echo,
                                  const std::string& fileName)
{
    Conversion(text, out, echo, fileName).file();
}

}  // namespace mirva
