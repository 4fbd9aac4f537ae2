// routine-check started as a learner or a teacher starts it: a command line, its output and
// errors caught in files, its exit status waited for.
#pragma once

#include "scratch_directory.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

struct CheckerRun {
    int status = -1;    // the exit status; -1 when the checker did not exit by itself
    std::string output; // standard output
    std::string errors; // standard error

    std::vector<std::string> lines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(output);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // A line equal to `expected`, where each "…" in it stands for any text (a number made of
    // addresses, which differ from run to run).
    bool hasLine(const std::string& expected) const
    {
        for (const std::string& line : lines())
            if (matches(line, expected))
                return true;
        return false;
    }

    static bool matches(std::string_view line, std::string_view expected)
    {
        const std::string_view any = "…";
        const std::size_t at = expected.find(any);
        if (at == std::string_view::npos)
            return line == expected;
        if (line.substr(0, at) != expected.substr(0, at))
            return false;
        line.remove_prefix(at);
        expected.remove_prefix(at + any.size());
        for (std::size_t skip = 0; skip <= line.size(); ++skip)
            if (matches(line.substr(skip), expected))
                return true;
        return false;
    }
};

// Starts `words` (a program and its arguments) with the test's own environment, in which each
// NAME=VALUE of `environment` takes the place of the variable of that name. Its standard output
// goes to `outputFile` and its standard error to `errorFile`; the stream `closed` (0, 1 or 2)
// is closed instead, when one is given. The process id, or -1 when it could not be started.
inline pid_t startWithOutput(std::vector<std::string> words, const std::vector<std::string>& environment,
                             const std::string& outputFile, const std::string& errorFile, int closed = -1)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const auto nameOf = [](std::string_view variable) { return variable.substr(0, variable.find('=')); };
    std::vector<std::string> variables(environment);
    for (char** variable = environ; *variable; ++variable) {
        bool replaced = false;
        for (const std::string& given : environment)
            replaced = replaced || nameOf(given) == nameOf(*variable);
        if (!replaced)
            variables.emplace_back(*variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (closed >= 0)
        posix_spawn_file_actions_addclose(&actions, closed);
    pid_t child = -1;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        child = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// Runs `words` as startWithOutput does, to its end; its output and errors pass through files in
// `outputs`, a folder made for them and removed afterwards.
inline CheckerRun runToItsEnd(const std::vector<std::string>& words, const std::vector<std::string>& environment,
                              const std::filesystem::path& outputs, int closed = -1)
{
    std::filesystem::create_directories(outputs);
    const std::string outputFile = (outputs / "stdout").string();
    const std::string errorFile = (outputs / "stderr").string();
    CheckerRun run;
    if (const pid_t child = startWithOutput(words, environment, outputFile, errorFile, closed); child > 0)
        waitpid(child, &run.status, 0);
    run.status = WIFEXITED(run.status) ? WEXITSTATUS(run.status) : -1;
    run.output = fileBytes(outputFile);
    run.errors = fileBytes(errorFile);
    std::filesystem::remove_all(outputs);
    return run;
}
