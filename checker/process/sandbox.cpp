#include "sandbox.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>

#include <elf.h>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sched.h>
#include <linux/seccomp.h>
#include <seccomp.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// What Landlock added after the first versions, where the system's headers are older than its
// kernel.
#ifndef LANDLOCK_ACCESS_FS_TRUNCATE
#define LANDLOCK_ACCESS_FS_TRUNCATE (1ULL << 14)
#endif
#ifndef LANDLOCK_ACCESS_FS_IOCTL_DEV
#define LANDLOCK_ACCESS_FS_IOCTL_DEV (1ULL << 15)
#endif
#ifndef LANDLOCK_ACCESS_NET_BIND_TCP
#define LANDLOCK_ACCESS_NET_BIND_TCP (1ULL << 0)
#endif
#ifndef LANDLOCK_ACCESS_NET_CONNECT_TCP
#define LANDLOCK_ACCESS_NET_CONNECT_TCP (1ULL << 1)
#endif
#ifndef LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET
#define LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET (1ULL << 0)
#endif
#ifndef LANDLOCK_SCOPE_SIGNAL
#define LANDLOCK_SCOPE_SIGNAL (1ULL << 1)
#endif

extern char** environ;

namespace {

// bubblewrap, where Debian installs it: taken by its full path, never from the search path.
constexpr const char* bubblewrap = "/usr/bin/bwrap";

// The folders of the root that hold the system's programs and libraries: each is a link into
// /usr on a merged system, and is made the same link in the sandbox; a real folder is seen
// read-only.
constexpr std::array systemFolders{"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"};

// What the loader and the C runtime read besides the libraries themselves.
constexpr std::array systemFiles{"/etc/ld.so.cache", "/etc/ld.so.conf", "/etc/localtime"};

// The devices a routine may read and write; the sandbox's /dev holds a few more, which it may not.
constexpr std::array usableDevices{"/dev/null", "/dev/zero", "/dev/random", "/dev/urandom"};

// The variables a sanitized build of the checker needs in the sandbox, and the loader's search
// path; nothing else of the user's environment reaches the library.
constexpr std::array keptVariables{"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "LANG", "LC_ALL",
                                   "LD_LIBRARY_PATH"};

void add(std::vector<std::string>& command, std::initializer_list<std::string> words)
{
    command.insert(command.end(), words);
}

// `count` bytes of `file` at `offset`; false when the file holds fewer.
bool readAt(int file, std::uint64_t offset, void* into, std::size_t count)
{
    return pread(file, into, count, static_cast<off_t>(offset)) == static_cast<ssize_t>(count);
}

// The run path a 64-bit ELF library names (DT_RUNPATH, else DT_RPATH), as written; empty when
// it names none or is no such library.
std::string runPathOf(const std::string& library)
{
    const int file = open(library.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0)
        return {};
    std::string found;
    Elf64_Ehdr header{};
    if (readAt(file, 0, &header, sizeof header) && std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
        header.e_ident[EI_CLASS] == ELFCLASS64 && header.e_phentsize == sizeof(Elf64_Phdr) && header.e_phnum < 256) {
        std::vector<Elf64_Phdr> segments(header.e_phnum);
        if (readAt(file, header.e_phoff, segments.data(), segments.size() * sizeof(Elf64_Phdr))) {
            // A virtual address, as the file's loaded segments place it, and where its bytes lie.
            const auto offsetOf = [&](std::uint64_t address) -> std::optional<std::uint64_t> {
                for (const Elf64_Phdr& segment : segments)
                    if (segment.p_type == PT_LOAD && address >= segment.p_vaddr &&
                        address < segment.p_vaddr + segment.p_filesz)
                        return address - segment.p_vaddr + segment.p_offset;
                return std::nullopt;
            };
            for (const Elf64_Phdr& segment : segments) {
                if (segment.p_type != PT_DYNAMIC || segment.p_filesz > (1 << 20))
                    continue;
                std::vector<Elf64_Dyn> entries(segment.p_filesz / sizeof(Elf64_Dyn));
                if (!readAt(file, segment.p_offset, entries.data(), entries.size() * sizeof(Elf64_Dyn)))
                    break;
                std::optional<std::uint64_t> strings, runPath, rPath;
                for (const Elf64_Dyn& entry : entries) {
                    if (entry.d_tag == DT_STRTAB)
                        strings = offsetOf(entry.d_un.d_ptr);
                    else if (entry.d_tag == DT_RUNPATH)
                        runPath = entry.d_un.d_val;
                    else if (entry.d_tag == DT_RPATH)
                        rPath = entry.d_un.d_val;
                }
                const std::optional<std::uint64_t> named = runPath ? runPath : rPath;
                if (strings && named) {
                    char text[4096] = {};
                    const ssize_t length = pread(file, text, sizeof text - 1, static_cast<off_t>(*strings + *named));
                    if (length > 0)
                        found.assign(text, strnlen(text, static_cast<std::size_t>(length)));
                }
                break;
            }
        }
    }
    close(file);
    return found;
}

// The folders of a search path (folders parted by colons), made absolute; `origin` stands
// for $ORIGIN. Whether one was relative to the current folder is said in `relative`.
void addFolders(std::vector<std::string>& folders, const std::string& path, const std::string& origin,
                bool& relative)
{
    if (path.empty())
        return;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find(':', start);
        std::string folder = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        for (const std::string name : {"${ORIGIN}", "$ORIGIN"})
            for (std::size_t at; !origin.empty() && (at = folder.find(name)) != std::string::npos;)
                folder.replace(at, name.size(), origin);
        // An empty one is the current folder itself, which the caller shows or not.
        relative = relative || folder.empty() || folder.front() != '/';
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(folder.empty() ? "." : folder, error);
        if (!folder.empty() && !error && folder.find('$') == std::string::npos &&
            std::filesystem::is_directory(absolute, error))
            folders.push_back(absolute.lexically_normal().string());
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

} // namespace

std::vector<std::string> sandboxCommand(const SandboxLayout& layout)
{
    std::vector<std::string> command{bubblewrap};
    // Namespaces of its own, every one: users, processes, network, mounts, IPC, host name, and
    // no more made inside; it ends when its starter does, and has no terminal to write into.
    add(command,
        {"--unshare-all", "--unshare-user", "--disable-userns", "--die-with-parent", "--new-session", "--cap-drop",
         "ALL"});
    if (layout.programFirst)
        command.push_back("--as-pid-1");
    add(command, {"--clearenv", "--setenv", "PATH", "/usr/bin:/bin"});
    for (const char* variable : keptVariables)
        if (const char* value = std::getenv(variable))
            add(command, {"--setenv", variable, value});
#if defined(__SANITIZE_ADDRESS__)
    // The leak checker stops a process's threads by tracing them, which the filter refuses: in a
    // build with the address sanitizer, the sandboxed processes are not looked at for leaks (this
    // setting comes after the one kept above, and so stands).
    const char* options = std::getenv("ASAN_OPTIONS");
    add(command,
        {"--setenv", "ASAN_OPTIONS", std::string(options ? options : "") + (options ? ":" : "") + "detect_leaks=0"});
#endif

    add(command, {"--ro-bind", "/usr", "/usr"});
    for (const char* folder : systemFolders) {
        std::error_code error;
        const auto status = std::filesystem::symlink_status(folder, error);
        if (error || !std::filesystem::exists(status))
            continue;
        if (std::filesystem::is_symlink(status))
            add(command, {"--symlink", std::filesystem::read_symlink(folder, error).string(), folder});
        else
            add(command, {"--ro-bind", folder, folder});
    }
    for (const char* file : systemFiles)
        add(command, {"--ro-bind-try", file, file});
    // /dev and the root are made read-only once everything is mounted: what the library
    // writes outside the working folder would fill memory without bound. /tmp is an empty
    // folder of that read-only root; temporary files go to the working folder.
    add(command, {"--proc", "/proc", "--dev", "/dev", "--remount-ro", "/dev", "--dir", "/tmp"});

    for (const std::string& path : layout.readOnly)
        add(command, {"--ro-bind", path, path});
    if (!layout.workFolder.empty() && layout.workFolderSize > 0)
        add(command, {"--size", std::to_string(layout.workFolderSize), "--tmpfs", layout.workFolder});
    else if (!layout.workFolder.empty())
        add(command, {"--bind", layout.workFolder, layout.workFolder});
    if (!layout.workFolder.empty())
        add(command, {"--setenv", "TMPDIR", layout.workFolder});
    add(command, {"--remount-ro", "/"});
    if (!layout.startIn.empty())
        add(command, {"--chdir", layout.startIn});
    else if (!layout.workFolder.empty())
        add(command, {"--chdir", layout.workFolder});

    command.push_back("--");
    command.push_back(layout.program);
    command.insert(command.end(), layout.arguments.begin(), layout.arguments.end());
    return command;
}

std::vector<std::string> foldersToLoad(const std::string& library)
{
    std::vector<std::string> folders;
    bool relative = false;
    if (library.find('/') != std::string::npos) {
        std::error_code error;
        const std::filesystem::path file = std::filesystem::canonical(library, error);
        if (!error) {
            folders.push_back(file.parent_path().string());
            bool runPathRelative = false;
            addFolders(folders, runPathOf(file.string()), file.parent_path().string(), runPathRelative);
        }
    }
    if (const char* searched = std::getenv("LD_LIBRARY_PATH"); searched && *searched)
        addFolders(folders, searched, "", relative);
    if (relative) {
        std::error_code error;
        folders.push_back(std::filesystem::current_path(error).string());
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

// Whether a process of this user may make the namespaces the sandbox is made of: tried in a
// child that ends at once, in a millisecond, where starting bubblewrap takes a tenth of a second.
bool namespacesAllowed()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWPID | CLONE_NEWNET | CLONE_NEWIPC | CLONE_NEWUTS) == 0
                  ? 0
                  : 1);
    if (child < 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::optional<std::string> sandboxUnavailable()
{
    static const std::optional<std::string> answer = []() -> std::optional<std::string> {
        if (access(bubblewrap, X_OK) != 0)
            return std::string("bubblewrap is not installed (") + bubblewrap + "; apt-get install bubblewrap)";
        if (namespacesAllowed())
            return std::nullopt;
        // The smallest sandbox there is, with bubblewrap's own words on its error output.
        const std::vector<std::string> words = sandboxCommand({"/usr/bin/true", {}, {}, {}, 0, false, {}});
        std::vector<char*> argv;
        for (const std::string& word : words)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        int errors[2];
        if (pipe2(errors, O_CLOEXEC) != 0)
            return "the sandbox could not be tried: " + std::string(std::strerror(errno));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        const int spawned = posix_spawn(&pid, bubblewrap, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(errors[1]);
        std::string said;
        char buffer[512];
        for (ssize_t length; (length = read(errors[0], buffer, sizeof buffer)) > 0 && said.size() < 4096;)
            said.append(buffer, static_cast<std::size_t>(length));
        close(errors[0]);
        if (spawned != 0)
            return "bubblewrap could not be started: " + std::string(std::strerror(spawned));
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            return std::nullopt;
        while (!said.empty() && (said.back() == '\n' || said.back() == ' '))
            said.pop_back();
        if (said.starts_with("bwrap: "))
            said.erase(0, 7);
        return "this system does not let bubblewrap make namespaces" + (said.empty() ? "" : ": " + said);
    }();
    return answer;
}

bool refuseForeignSystemCalls(std::string& problem)
{
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
    if (!filter) {
        problem = "the system-call filter could not be made";
        return false;
    }
    // Each refused with EPERM, as a system without the feature would; a routine that needs
    // none of them never notices.
    constexpr std::array refused{
        // another process's memory and registers
        SCMP_SYS(ptrace), SCMP_SYS(process_vm_readv), SCMP_SYS(process_vm_writev), SCMP_SYS(pidfd_getfd),
        SCMP_SYS(kcmp),
        // the file system's shape, and ways around the sandbox's mounts
        SCMP_SYS(mount), SCMP_SYS(umount2), SCMP_SYS(pivot_root), SCMP_SYS(chroot), SCMP_SYS(move_mount),
        SCMP_SYS(open_tree), SCMP_SYS(fsopen), SCMP_SYS(fsmount), SCMP_SYS(fsconfig), SCMP_SYS(fspick),
        SCMP_SYS(mount_setattr), SCMP_SYS(open_by_handle_at), SCMP_SYS(name_to_handle_at),
        // new namespaces, or another's
        SCMP_SYS(unshare), SCMP_SYS(setns),
        // the kernel itself
        SCMP_SYS(init_module), SCMP_SYS(finit_module), SCMP_SYS(delete_module), SCMP_SYS(kexec_load),
        SCMP_SYS(kexec_file_load), SCMP_SYS(bpf), SCMP_SYS(perf_event_open), SCMP_SYS(userfaultfd), SCMP_SYS(keyctl),
        SCMP_SYS(add_key), SCMP_SYS(request_key), SCMP_SYS(reboot), SCMP_SYS(swapon), SCMP_SYS(swapoff), SCMP_SYS(acct),
        SCMP_SYS(syslog), SCMP_SYS(quotactl), SCMP_SYS(fanotify_init), SCMP_SYS(iopl), SCMP_SYS(ioperm),
        SCMP_SYS(settimeofday), SCMP_SYS(clock_settime), SCMP_SYS(clock_adjtime), SCMP_SYS(adjtimex), SCMP_SYS(vhangup),
        // a ring that runs system calls the filter never sees
        SCMP_SYS(io_uring_setup), SCMP_SYS(io_uring_enter), SCMP_SYS(io_uring_register)};
    bool made = true;
    for (const int call : refused)
        made = made && seccomp_rule_add(filter, SCMP_ACT_ERRNO(EPERM), call, 0) == 0;
    // clone3 passes its flags in memory, where a filter cannot read them: the C library falls
    // back to clone, whose flags it can; clone may make no namespace.
    made = made && seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0;
    for (const uint64_t flag :
         {CLONE_NEWNS, CLONE_NEWUTS, CLONE_NEWIPC, CLONE_NEWUSER, CLONE_NEWPID, CLONE_NEWNET, CLONE_NEWCGROUP})
        made = made &&
            seccomp_rule_add(filter, SCMP_ACT_ERRNO(EPERM), SCMP_SYS(clone), 1,
                             SCMP_A0(SCMP_CMP_MASKED_EQ, flag, flag)) == 0;
    if (made)
        made = seccomp_load(filter) == 0;
    seccomp_release(filter);
    if (!made)
        problem = "the system-call filter could not be set";
    return made;
}

int landlockVersion()
{
    const long version = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return version > 0 ? static_cast<int>(version) : 0;
}

namespace {

// The rights Landlock gives a file that is not a folder; the others apply to what a folder holds.
constexpr std::uint64_t fileRights = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE |
    LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_TRUNCATE | LANDLOCK_ACCESS_FS_IOCTL_DEV;

// The ruleset's attributes as the kernel reads them since its sixth version; an older kernel
// reads the first fields, and takes the rest when they are 0.
struct RulesetAttributes {
    std::uint64_t handledFileAccess = 0;
    std::uint64_t handledNetworkAccess = 0;
    std::uint64_t scoped = 0;
};

// Allows `rights` (those of them the ruleset handles) beneath `path`; a path the sandbox does
// not hold is passed over. False when the kernel refused the rule.
bool allowBeneath(int ruleset, const char* path, std::uint64_t rights, std::uint64_t handled)
{
    const int file = open(path, O_PATH | O_CLOEXEC);
    if (file < 0)
        return errno == ENOENT || errno == ENOTDIR;
    struct stat status {};
    landlock_path_beneath_attr rule{};
    rule.allowed_access = rights & handled;
    if (fstat(file, &status) == 0 && !S_ISDIR(status.st_mode))
        rule.allowed_access &= fileRights;
    rule.parent_fd = file;
    const bool added = rule.allowed_access == 0 ||
        syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0) == 0;
    close(file);
    return added;
}

} // namespace

bool refuseForeignAccess(const std::vector<std::string>& readOnly, const std::string& workFolder,
                         std::string& problem)
{
    const long version = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (version < 0 && (errno == ENOSYS || errno == EOPNOTSUPP))
        return true; // no Landlock here: the sandbox's mounts and the system-call filter stand alone
    if (version < 1) {
        problem = "the kernel's file-access rules could not be asked for: " + std::string(std::strerror(errno));
        return false;
    }
    RulesetAttributes attributes;
    attributes.handledFileAccess = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE |
        LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR | LANDLOCK_ACCESS_FS_REMOVE_DIR |
        LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_MAKE_CHAR | LANDLOCK_ACCESS_FS_MAKE_DIR |
        LANDLOCK_ACCESS_FS_MAKE_REG | LANDLOCK_ACCESS_FS_MAKE_SOCK | LANDLOCK_ACCESS_FS_MAKE_FIFO |
        LANDLOCK_ACCESS_FS_MAKE_BLOCK | LANDLOCK_ACCESS_FS_MAKE_SYM | LANDLOCK_ACCESS_FS_REFER |
        LANDLOCK_ACCESS_FS_TRUNCATE | LANDLOCK_ACCESS_FS_IOCTL_DEV;
    attributes.handledNetworkAccess = LANDLOCK_ACCESS_NET_BIND_TCP | LANDLOCK_ACCESS_NET_CONNECT_TCP;
    attributes.scoped = LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET | LANDLOCK_SCOPE_SIGNAL;
    // Each version handles what the ones before it did and more: what this kernel does not
    // know is left out, and the rest is still refused.
    switch (version) {
    case 1:
        attributes.handledFileAccess &= ~LANDLOCK_ACCESS_FS_REFER;
        [[fallthrough]];
    case 2:
        attributes.handledFileAccess &= ~LANDLOCK_ACCESS_FS_TRUNCATE;
        [[fallthrough]];
    case 3:
        attributes.handledNetworkAccess = 0;
        [[fallthrough]];
    case 4:
        attributes.handledFileAccess &= ~LANDLOCK_ACCESS_FS_IOCTL_DEV;
        [[fallthrough]];
    case 5:
        attributes.scoped = 0;
        break;
    default:
        break;
    }
    const int ruleset = static_cast<int>(syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0));
    if (ruleset < 0) {
        problem = "the kernel's file-access rules could not be made: " + std::string(std::strerror(errno));
        return false;
    }
    const std::uint64_t handled = attributes.handledFileAccess;
    constexpr std::uint64_t readAndRun =
        LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
    // Files are read, written, made, emptied and removed, and folders made and removed, in the
    // working folder alone; nothing there is run.
    constexpr std::uint64_t readAndWrite = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR |
        LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_TRUNCATE | LANDLOCK_ACCESS_FS_MAKE_REG |
        LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_REMOVE_DIR |
        LANDLOCK_ACCESS_FS_REFER;
    constexpr std::uint64_t useDevice = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_WRITE_FILE |
        LANDLOCK_ACCESS_FS_TRUNCATE | LANDLOCK_ACCESS_FS_IOCTL_DEV;
    // A process's own /proc: its memory map, its threads, its status, read by the checker's
    // code and the language runtimes.
    constexpr std::uint64_t readOnlyFolder = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;

    bool made = allowBeneath(ruleset, "/usr", readAndRun, handled);
    for (const char* folder : systemFolders)
        made = made && allowBeneath(ruleset, folder, readAndRun, handled);
    for (const char* file : systemFiles)
        made = made && allowBeneath(ruleset, file, readAndRun, handled);
    for (const std::string& path : readOnly)
        made = made && allowBeneath(ruleset, path.c_str(), readAndRun, handled);
    for (const char* device : usableDevices)
        made = made && allowBeneath(ruleset, device, useDevice, handled);
    made = made && allowBeneath(ruleset, "/proc", readOnlyFolder, handled);
    if (!workFolder.empty())
        made = made && allowBeneath(ruleset, workFolder.c_str(), readAndWrite, handled);
    // Setting the rules asks for no new privileges, which the sandbox has already given up.
    made = made && prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
    if (!made)
        problem = "the kernel's file-access rules could not be set: " + std::string(std::strerror(errno));
    close(ruleset);
    return made;
}

bool askBeforeEachNewProcess(int& listener, std::string& problem)
{
    // A filter of its own: where a clone of the first is refused (a namespace), the refusal
    // stands over the question.
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
    if (!filter) {
        problem = "the system-call filter could not be made";
        return false;
    }
    bool made = seccomp_rule_add(filter, SCMP_ACT_NOTIFY, SCMP_SYS(fork), 0) == 0 &&
        seccomp_rule_add(filter, SCMP_ACT_NOTIFY, SCMP_SYS(vfork), 0) == 0 &&
        seccomp_rule_add(filter, SCMP_ACT_NOTIFY, SCMP_SYS(clone), 1,
                         SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)) == 0 &&
        seccomp_load(filter) == 0;
    listener = made ? seccomp_notify_fd(filter) : -1;
    seccomp_release(filter);
    if (!made || listener < 0) {
        problem = "the system-call filter that counts new processes could not be set";
        return false;
    }
    return true;
}

std::optional<NewProcessQuestion> nextNewProcessQuestion(int listener)
{
    seccomp_notif* question = nullptr;
    seccomp_notif_resp* answer = nullptr;
    if (seccomp_notify_alloc(&question, &answer) != 0)
        return std::nullopt;
    std::optional<NewProcessQuestion> next;
    if (seccomp_notify_receive(listener, question) == 0)
        next = NewProcessQuestion{question->id, static_cast<int>(question->pid)};
    seccomp_notify_free(question, answer);
    return next;
}

void answerNewProcess(int listener, const NewProcessQuestion& question, bool allowed)
{
    seccomp_notif* unused = nullptr;
    seccomp_notif_resp* answer = nullptr;
    if (seccomp_notify_alloc(&unused, &answer) != 0)
        return;
    answer->id = question.id;
    answer->val = 0;
    // Let go on, the call is made as the process asked: nothing of its arguments is read here.
    answer->error = allowed ? 0 : -EAGAIN;
    answer->flags = allowed ? SECCOMP_USER_NOTIF_FLAG_CONTINUE : 0;
    // A process that has gone since it asked needs no answer.
    (void)seccomp_notify_respond(listener, answer);
    seccomp_notify_free(unused, answer);
}
