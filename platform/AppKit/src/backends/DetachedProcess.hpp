#pragma once
// Programs of the desktop started on their own: the caller does not wait for them, their output
// goes nowhere, and they are never children of this process to reap.
#include <string>
#include <vector>

namespace DetachedProcess {

/// Starts the program (found on PATH) with the arguments; false when it cannot be started.
bool start(const std::vector<std::string>& arguments);

}  // namespace DetachedProcess
