#pragma once
// Stops the process with a message, as the platform does for conditions a program cannot survive.
#include <string>

[[noreturn]] void fatalError(const std::string& message);
