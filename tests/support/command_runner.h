// Running the programs under test from a test: a shell command with its exit status and
// everything it printed.
#pragma once

#include <string>

namespace lumexa::testing
{

struct CommandResult {
    int status = -1;
    std::string output; // stdout and stderr together
};

// Runs `command` through the shell; a program killed by signal s gives status 128 + s.
CommandResult RunShell(const std::string& command);
// `s` quoted for the shell.
std::string Quote(const std::string& s);

} // namespace lumexa::testing
