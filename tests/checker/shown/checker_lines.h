// The "shows:" lines that routine-check prints for the library beside the test program, for
// the shown-texts tests that compare them with what the real window shows.
#pragma once

#include <cstdio>
#include <map>
#include <string>

// routine-check's "ROUTINE shows: TEXT" lines for LIBRARY_FILE, by routine: "TEXT".
inline std::map<std::string, std::string> checkerShows()
{
    std::map<std::string, std::string> shows;
    const std::string command = std::string("'") + CHECKER + "' '" + LIBRARY_FILE + "' 2>/dev/null";
    FILE* output = popen(command.c_str(), "r");
    if (!output)
        return shows;
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, output)) > 0;)
        text.append(buffer, got);
    pclose(output);
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (const std::size_t at = line.find(" shows: "); at != std::string::npos && line.find(' ') == at)
            shows[line.substr(0, at)] = line.substr(at + 8);
    }
    return shows;
}

inline std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}
