#include "work_folder.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The mount a file lies on, and whether it is a folder; false when it cannot be looked at.
bool lookAt(int folder, const char* name, uint64_t& mount, bool& isFolder)
{
    struct statx status {};
    if (statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_EMPTY_PATH, STATX_TYPE | STATX_MNT_ID, &status) != 0 ||
        (status.stx_mask & STATX_MNT_ID) == 0)
        return false;
    mount = status.stx_mnt_id;
    isFolder = S_ISDIR(status.stx_mode);
    return true;
}

// Empties the open folder `folder`, which lies on `mount`; the first thing left is said in
// `problem`, by its path from the top (`path`).
bool empty(int folder, uint64_t mount, const std::string& path, std::string& problem)
{
    DIR* entries = fdopendir(folder);
    if (!entries) {
        close(folder);
        problem = path + ": " + std::strerror(errno);
        return false;
    }
    bool emptied = true;
    const auto leave = [&](const std::string& why) {
        if (emptied)
            problem = why;
        emptied = false;
    };
    while (const dirent* entry = readdir(entries)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string shown = path + "/" + name;
        uint64_t on = 0;
        bool isFolder = false;
        if (!lookAt(dirfd(entries), name.c_str(), on, isFolder)) {
            leave(shown + ": " + std::strerror(errno));
            continue;
        }
        if (on != mount) {
            leave("a file system is mounted at " + shown + ", and what it shows was left as it is");
            continue;
        }
        if (isFolder) {
            const int inner = openat(dirfd(entries), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (inner < 0) {
                leave(shown + ": " + std::strerror(errno));
                continue;
            }
            std::string innerProblem;
            if (!empty(inner, mount, shown, innerProblem)) {
                leave(innerProblem);
                continue;
            }
        }
        if (unlinkat(dirfd(entries), name.c_str(), isFolder ? AT_REMOVEDIR : 0) != 0)
            leave(shown + ": " + std::strerror(errno));
    }
    closedir(entries);
    return emptied;
}

} // namespace

bool removeWorkFolder(const std::string& folder, std::string& problem)
{
    const int top = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    uint64_t mount = 0;
    bool isFolder = false;
    if (top < 0 || !lookAt(top, "", mount, isFolder)) {
        problem = std::strerror(errno);
        if (top >= 0)
            close(top);
        return false;
    }
    if (!empty(top, mount, folder, problem))
        return false;
    if (rmdir(folder.c_str()) != 0) {
        problem = std::strerror(errno);
        return false;
    }
    return true;
}
