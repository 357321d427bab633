#pragma once
// Runs a command line through /bin/bash as a child process and hands back what it wrote to its
// standard output. The caller's thread waits until the child has ended.
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Data.hpp"

namespace RarAvi {

class Shell {
public:
    Shell() = delete;

    /// The child's standard output as UTF-8 text; absent when `runData` gives nothing or the
    /// bytes are not valid UTF-8.
    static std::optional<std::string> run(const std::vector<std::string>& arguments);

    /// Runs `/bin/bash -c` followed by the arguments (the first is the command line, further ones
    /// become $0, $1, ...), with the process's environment and LC_ALL set to "en_US.UTF-8".
    /// Answers the child's standard output, possibly empty; absent when the child cannot be
    /// started or ends with a status other than 0. Standard error is discarded; the call waits
    /// only for standard output to close and for the child to end.
    static std::optional<Data> runData(const std::vector<std::string>& arguments);
};

}  // namespace RarAvi
