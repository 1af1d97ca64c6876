#pragma once
// Phile: data files read whole into memory, and the used-files list.
//
// Every loader of the program reads its files through `load`, so a missing or short
// file always ends in the same fatal message naming the file. With the used-files list
// switched on (-usedfiles) every file opened is appended to "usedfiles.txt" in the
// working directory, so the set of files a show needs can be collected.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mirva {

// A loaded file: exactly the file's bytes, no terminating zero. Freed with the vector.
using PhileBlock = std::vector<std::uint8_t>;

class Phile {
public:
    static PhileBlock load(const std::string& name);
    static std::size_t size(const std::string& name);
    // The same read for callers with a message of their own: false when the file cannot
    // be opened or read. Records nothing in the used-files list.
    static bool tryLoad(const std::string& name, PhileBlock& block);

    // Starts an empty "usedfiles.txt" and records every file opened from now on.
    static void enableUsedFiles();
    // Stops recording (the list already written stays as it is).
    static void disableUsedFiles();
    static bool isRecording();
    // Appends one name to the list when recording is on. For callers that open files
    // themselves (scripts, music, PNG images).
    static void record(const std::string& name);

    // Hears the name of every file asked for from now on, found or not, whether the list
    // records or not (for watching a show's files while it is written). One at a time;
    // an empty observer stops it.
    using Observer = std::function<void(const std::string& name)>;
    static void setObserver(Observer observer);
};

}  // namespace mirva
