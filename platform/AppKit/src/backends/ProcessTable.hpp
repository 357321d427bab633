#pragma once
// The processes of the user that runs this one, as /proc lists them.
#include <cstddef>
#include <string>
#include <vector>

namespace ProcessTable {

/// How much of a command line is read (the kernel's file tells no size).
constexpr std::size_t maximumCommandLineSize = std::size_t{64} << 10;

struct Process {
    int pid = 0;
    /// The program file the process runs (/proc/<pid>/exe).
    std::string executable;
    /// Its command line, as far as its first maximumCommandLineSize bytes hold whole arguments.
    std::vector<std::string> arguments;
};

/// The user's processes in the order of their ids.
std::vector<Process> ofCurrentUser();

}  // namespace ProcessTable
