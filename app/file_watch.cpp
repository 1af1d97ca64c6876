#include "app/file_watch.h"

#include <sys/stat.h>

#include "io/phile.h"

namespace mirva {

FileWatch::FileWatch(Clock::duration settle) : settle_(settle)
{
    Phile::setObserver([this](const std::string& name) { heard(name); });
}

FileWatch::~FileWatch()
{
    Phile::setObserver(nullptr);
}

FileWatch::State FileWatch::stateOf(const std::string& name)
{
    struct stat info {};
    if (stat(name.c_str(), &info) != 0)
        return {};
    return {true, static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            static_cast<std::int64_t>(info.st_size)};
}

// A file read again takes the state it has now: that is what the new reader got.
void FileWatch::heard(const std::string& name)
{
    Watched& file = files_[name];
    file.read = stateOf(name);
    file.changing = false;
}

bool FileWatch::changed(Clock::time_point now)
{
    if (now - lastLook_ < settle_)
        return false;
    lastLook_ = now;
    bool settled = false;
    for (auto& [name, file] : files_) {
        const State state = stateOf(name);
        if (state == file.read) {
            file.changing = false;
            continue;
        }
        settled = settled || (file.changing && state == file.pending);
        file.pending = state;
        file.changing = true;
    }
    return settled;
}

void FileWatch::acceptAll()
{
    for (auto& [name, file] : files_) {
        file.read = stateOf(name);
        file.changing = false;
    }
}

}  // namespace mirva
