#pragma once
// A temporary folder removed with everything in it when the test ends.
#include <filesystem>
#include <string>

namespace tarnwick {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }
    void write(const std::string &name, const std::string &bytes) const;
    std::string read(const std::string &name) const { return readFile(file(name)); }
    bool exists(const std::string &name) const { return std::filesystem::exists(file(name)); }
    static std::string readFile(const std::string &path);

private:
    std::string path_;
};

} // namespace tarnwick
