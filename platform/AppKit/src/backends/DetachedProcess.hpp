#pragma once
// Programs of the desktop started on their own: the caller does not wait for them, their output
// goes nowhere, and a thread of their own reaps them when they end.
#include <string>
#include <vector>

namespace DetachedProcess {

/// Starts the program (found on PATH) with the arguments; false when it cannot be started.
bool start(const std::vector<std::string>& arguments);

}  // namespace DetachedProcess
