#pragma once
// The processes of the user that runs this one, as /proc lists them.
#include <string>
#include <vector>

namespace ProcessTable {

struct Process {
    int pid = 0;
    /// The program file the process runs (/proc/<pid>/exe).
    std::string executable;
    /// Its command line.
    std::vector<std::string> arguments;
};

/// The user's processes in the order of their ids.
std::vector<Process> ofCurrentUser();

}  // namespace ProcessTable
