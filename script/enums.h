#pragma once
// Enums: named integer values for scripts.
//
// Two tables: built-in enums, declared by code while the component types are made at
// program start (passing line -1), and user enums, declared by a script's `Enum` blocks
// and cleared at every script load. A lookup searches the built-in table first, so a
// user enum may reuse a built-in name but is then never found. Names and members are
// kept in bytewise name order, which is also the order of the listing.
//
// Declaring runs createEnum, addMember for each member, finishEnum. Every problem is a
// fatal script error naming the line.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

namespace mirva {

class Enums {
public:
    using Members = std::map<std::string, std::int32_t>;
    using Table = std::map<std::string, Members>;

    // Value for addMember: the number of members declared before this one.
    static constexpr std::int32_t kAutomatic = -1;

    // The enums of the core: ZBufferMode, KeyType and Behavior.
    void declareCoreEnums();
    // Declares a built-in enum with these members and values (line -1 in messages).
    void declareBuiltIn(const std::string& name, std::initializer_list<std::pair<const char*, std::int32_t>> members);

    void createEnum(const std::string& name, int line, bool user);
    void addMember(const std::string& name, std::int32_t value, int line);
    void finishEnum(int line);

    std::int32_t lookup(const std::string& enumName, const std::string& member, int line) const;
    void clearUserEnums() { user_.clear(); }

    // Appends the listing of both tables (names and members, no values).
    void list(std::string& out) const;

    const Table& builtIn() const { return builtIn_; }
    const Table& user() const { return user_; }

private:
    Table builtIn_;
    Table user_;
    Members declaring_;
    std::string declaringName_;
    bool declaringUser_ = false;
};

}  // namespace mirva
