#pragma once
// The command line of the show: options are found by substring search anywhere in the
// whole line (case-sensitive), so "-console" also counts inside another word.
#include <string>
#include <vector>

namespace mirva {

class CommandLine {
public:
    explicit CommandLine(const std::vector<std::string>& args);
    bool has(const std::string& option) const { return text_.find(option) != std::string::npos; }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace mirva
