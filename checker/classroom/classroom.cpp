#include "classroom.h"

#include "reports.h"

#include "printable_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int searchDepth = 3;

// What a check of one library may print: far more than any report, far less than memory.
constexpr std::size_t reportLimit = std::size_t{16} << 20;

Candidate searchFolder(const fs::path& folder, const std::string& contract, const ContractOfName& contractOf)
{
    Candidate candidate;
    candidate.student = folder.filename().empty() ? folder.parent_path().filename().string()
                                                  : folder.filename().string();
    candidate.contract = contract;
    std::vector<std::pair<int, fs::path>> found;
    std::error_code error;
    fs::recursive_directory_iterator entry(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        if (entry.depth() + 1 >= searchDepth)
            entry.disable_recursion_pending();
        std::error_code typeError;
        if (!entry->is_regular_file(typeError) || entry->is_symlink(typeError))
            continue;
        const std::string named = contractOf(entry->path().filename().string());
        if (named.empty() || (!contract.empty() && named != contract))
            continue;
        found.emplace_back(entry.depth(), entry->path());
    }
    if (error && found.empty()) {
        candidate.problem = "its folder " + printable(folder.string()) + " cannot be read: " + error.message();
        return candidate;
    }
    if (found.empty()) {
        candidate.problem = "no library file" + (contract.empty() ? "" : " of " + contract) + " in " +
            printable(folder.string());
        return candidate;
    }
    std::sort(found.begin(), found.end());
    if (found.size() > 1 && found[0].first == found[1].first) {
        candidate.problem = "two library files in " + printable(folder.string()) + ": " +
            printable(found[0].second.lexically_relative(folder).string()) + " and " +
            printable(found[1].second.lexically_relative(folder).string());
        return candidate;
    }
    candidate.path = found[0].second.string();
    candidate.contract = contractOf(found[0].second.filename().string());
    return candidate;
}

// One check that runs: its process, and what it printed so far.
struct Running {
    std::size_t index;
    pid_t process;
    int output;
    std::string printed;
};

LibraryResult notChecked(const Candidate& candidate, const std::string& problem)
{
    LibraryResult result;
    result.path = candidate.path;
    result.student = candidate.student;
    result.contract = candidate.contract;
    result.verdict = Verdict::NotChecked;
    result.problem = problem;
    return result;
}

bool start(const Candidate& candidate, std::vector<std::string> words, Running& running)
{
    words.push_back(candidate.contract);
    words.push_back(candidate.path);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    const int spawned = posix_spawn(&running.process, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        close(ends[0]);
        return false;
    }
    running.output = ends[0];
    return true;
}

LibraryResult finish(const Candidate& candidate, Running& running)
{
    close(running.output);
    int status = 0;
    while (waitpid(running.process, &status, 0) < 0 && errno == EINTR) {}
    std::string line = running.printed.substr(0, running.printed.find('\n'));
    std::optional<LibraryResult> result = fromJsonLine(line);
    if (!result) {
        const std::string how = WIFSIGNALED(status) ? "was ended by signal " + std::to_string(WTERMSIG(status))
                                                    : "ended with exit status " + std::to_string(WEXITSTATUS(status));
        return notChecked(candidate, "its check " + how + " without a report");
    }
    result->student = candidate.student;
    return *result;
}

} // namespace

std::vector<Candidate> candidatesOf(const std::vector<std::string>& paths, const std::string& contract,
                                    const ContractOfName& contractOf)
{
    std::vector<Candidate> candidates;
    for (const std::string& path : paths) {
        std::error_code error;
        const fs::path absolute = fs::absolute(path, error).lexically_normal();
        if (fs::is_directory(absolute, error)) {
            candidates.push_back(searchFolder(absolute, contract, contractOf));
            continue;
        }
        Candidate candidate{absolute.string(), "", contract, ""};
        if (candidate.contract.empty())
            candidate.contract = contractOf(absolute.filename().string());
        if (candidate.contract.empty())
            candidate.problem = "its name gives no contract: name the library first (Ostrum, Morvane or Pettrix)";
        candidates.push_back(std::move(candidate));
    }
    return candidates;
}

std::vector<LibraryResult> checkAll(const std::vector<Candidate>& candidates, const std::vector<std::string>& command,
                                    unsigned atOnce, const std::function<int()>& interrupted)
{
    int forwarded = 0;
    std::vector<std::optional<LibraryResult>> results(candidates.size());
    std::vector<Running> running;
    std::size_t next = 0;
    for (;;) {
        while (next < candidates.size() && running.size() < std::max(atOnce, 1u)) {
            const Candidate& candidate = candidates[next];
            Running started{next, -1, -1, {}};
            if (!candidate.problem.empty())
                results[next] = notChecked(candidate, candidate.problem);
            else if (!start(candidate, command, started))
                results[next] = notChecked(candidate,
                                           "its check could not be started: " + std::string(std::strerror(errno)));
            else
                running.push_back(std::move(started));
            ++next;
        }
        if (running.empty())
            break;
        std::vector<pollfd> waiting;
        for (const Running& check : running)
            waiting.push_back({check.output, POLLIN, 0});
        if (poll(waiting.data(), waiting.size(), -1) < 0 && errno != EINTR)
            break;
        // Interrupted: no check starts any more, and the running ones are ended by the same
        // signal, each cleaning up after itself.
        if (const int signal = interrupted ? interrupted() : 0; signal && !forwarded) {
            forwarded = signal;
            next = candidates.size();
            for (const Running& check : running)
                kill(check.process, signal);
        }
        for (std::size_t i = waiting.size(); i-- > 0;) {
            if (waiting[i].revents == 0)
                continue;
            Running& check = running[i];
            char buffer[65536];
            const ssize_t length = read(check.output, buffer, sizeof buffer);
            if (length > 0) {
                if (check.printed.size() < reportLimit)
                    check.printed.append(buffer, static_cast<std::size_t>(length));
                continue;
            }
            if (length < 0 && errno == EINTR)
                continue;
            results[check.index] = finish(candidates[check.index], check);
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    std::vector<LibraryResult> all;
    for (std::size_t i = 0; i < results.size(); ++i)
        all.push_back(results[i] ? *results[i] : notChecked(candidates[i], "its check did not end"));
    return all;
}
