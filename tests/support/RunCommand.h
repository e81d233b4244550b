#pragma once

#include <string>

namespace testing_support {

struct CommandRun {
    int exitCode = -1;  // -1 when the command did not end by itself
    std::string output; // what it wrote, standard error included when the command says 2>&1
};

// Runs a shell command to its end and collects its standard output.
CommandRun RunCommand(const std::string& command);

} // namespace testing_support
