// A fresh, empty current directory for one test, and reading files back from it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// Makes a new empty directory the current one; puts the previous one back and removes the
// new one, with everything in it, when destroyed. A death test runs its test again from the
// start in a new process: that process takes over the directory its parent made (named in
// the environment), so the parent can look at what the child left there, and the parent
// alone removes it.
class ScratchDirectory {
public:
    ScratchDirectory() : previous_(std::filesystem::current_path())
    {
        if (const char* inherited = getenv(variable)) {
            path_ = inherited;
            owned_ = false;
        } else {
            std::string pattern = (std::filesystem::temp_directory_path() / "scratch-XXXXXX").string();
            if (!mkdtemp(pattern.data()))
                throw std::runtime_error("could not make a scratch directory from " + pattern);
            path_ = pattern;
            setenv(variable, pattern.c_str(), 1);
        }
        std::filesystem::current_path(path_);
    }

    ~ScratchDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        if (owned_) {
            unsetenv(variable);
            std::filesystem::remove_all(path_, ignored);
        }
    }

    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // A file in this directory, wherever the current directory is by then.
    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    static constexpr const char* variable = "TEST_SCRATCH_DIRECTORY";
    std::filesystem::path previous_;
    std::filesystem::path path_;
    bool owned_ = true;
};

// Every byte of the file, or the empty text when it cannot be read.
inline std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The lines of the file, without their line ends; none when it cannot be read.
inline std::vector<std::string> fileLines(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    std::istringstream text(fileBytes(file));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}
