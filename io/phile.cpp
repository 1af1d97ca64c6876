#include "io/phile.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <utility>

#include "io/console.h"
#include "io/memory_pages.h"

namespace mirva {

namespace {

std::atomic<bool> recording{false};
constexpr const char* kUsedFiles = "usedfiles.txt";
// Loading happens on the main thread only.
Phile::Observer observer;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a regular file for binary reading. A directory opens fine with fopen on this
// platform but has no bytes to read, so it counts as a file that cannot be opened.
FileHandle openRegular(const std::string& name, long& length)
{
    if (observer)
        observer(name);
    FileHandle file(std::fopen(name.c_str(), "rb"));
    if (!file)
        return nullptr;
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return nullptr;
    length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return nullptr;
    return file;
}

// The block becomes `length` bytes long; a big file's block gets its memory pages mapped
// at once before it is filled.
void sizeBlock(PhileBlock& block, std::size_t length)
{
    block.clear();
    block.reserve(length);
    prefaultPages(block.data(), length);
    block.resize(length);
}

}  // namespace

PhileBlock Phile::load(const std::string& name)
{
    long length = 0;
    FileHandle file = openRegular(name, length);
    if (!file)
        Console::fatal("Phile::load - couldn't open file '" + name + "'");
    record(name);
    PhileBlock block;
    try {
        sizeBlock(block, static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        Console::fatal(formatText("Phile::load - no memory for the %ld bytes of file '%s'", length, name.c_str()));
    }
    if (std::fread(block.data(), 1, block.size(), file.get()) != block.size())
        Console::fatal("Phile::load - error while reading file '" + name + "'");
    return block;
}

bool Phile::tryLoad(const std::string& name, PhileBlock& block)
{
    long length = 0;
    FileHandle file = openRegular(name, length);
    if (!file)
        return false;
    try {
        sizeBlock(block, static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return std::fread(block.data(), 1, block.size(), file.get()) == block.size();
}

std::size_t Phile::size(const std::string& name)
{
    long length = 0;
    if (!openRegular(name, length))
        Console::fatal("Phile::size - couldn't open file '" + name + "'");
    return static_cast<std::size_t>(length);
}

void Phile::enableUsedFiles()
{
    recording = true;
    // A list that cannot be written is no reason to stop the show.
    if (std::FILE* f = std::fopen(kUsedFiles, "w"))
        std::fclose(f);
}

void Phile::disableUsedFiles()
{
    recording = false;
}

bool Phile::isRecording()
{
    return recording;
}

void Phile::setObserver(Observer newObserver)
{
    observer = std::move(newObserver);
}

void Phile::record(const std::string& name)
{
    if (observer)
        observer(name);
    if (!recording)
        return;
    if (std::FILE* f = std::fopen(kUsedFiles, "a")) {
        std::fprintf(f, "%s\n", name.c_str());
        std::fflush(f);
        std::fclose(f);
    }
}

}  // namespace mirva
