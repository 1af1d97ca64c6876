#pragma once
// Temporary folders and small file helpers for tests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mirva::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Makes `dir` the working directory until destroyed (files the program writes into the
// working directory, such as usedfiles.txt, land there).
class ScopedWorkingDir {
public:
    explicit ScopedWorkingDir(const std::filesystem::path& dir);
    ~ScopedWorkingDir();
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

private:
    std::filesystem::path previous_;
};

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::string& path, const std::string& text);
std::vector<std::uint8_t> readFile(const std::string& path);
std::string readText(const std::string& path);

}  // namespace mirva::test
