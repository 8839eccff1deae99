// The command line's headless faces called in the test's own process.
#pragma once

#include <string>
#include <vector>

#include "cli/Headless.h"

// RunHeadless with the arguments after the program's name.
inline int Velun(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "velun");
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    return RunHeadless((int)arguments.size(), argv.data());
}
