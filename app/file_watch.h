#pragma once
// FileWatch: the files a show has read, and whether one of them changed on disk since
// (`mirva play --watch`).
//
// While it exists it hears every file name the loaders ask for (the script, its
// includes, objects, images, music; also names that were not found, so that creating a
// missing file counts as a change) and remembers each one's state as it was then:
// modification time and size, or that it was missing. `changed` compares with the disk.
// An editor may write a file in several steps, so a change counts only once two looks
// at least `settle` apart have seen the same new state.
//
// Main thread only: the loaders run there.
#include <chrono>
#include <cstdint>
#include <map>
#include <string>

namespace mirva {

class FileWatch {
public:
    using Clock = std::chrono::steady_clock;

    explicit FileWatch(Clock::duration settle = std::chrono::milliseconds(100));
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Whether a file read since has a settled new state on disk. Looks at the disk at
    // most once a `settle`; `now` is for tests.
    bool changed(Clock::time_point now = Clock::now());
    // Takes the disk's states as the ones read (before a reload reads them again).
    void acceptAll();
    std::size_t size() const { return files_.size(); }

private:
    struct State {
        bool exists = false;
        std::int64_t modified = 0;  // nanoseconds
        std::int64_t size = 0;
        bool operator==(const State&) const = default;
    };
    struct Watched {
        State read;     // as the loader found it
        State pending;  // a different state seen at the last look, waiting to settle
        bool changing = false;
    };

    static State stateOf(const std::string& name);
    void heard(const std::string& name);

    Clock::duration settle_;
    Clock::time_point lastLook_{};
    std::map<std::string, Watched> files_;
};

}  // namespace mirva
