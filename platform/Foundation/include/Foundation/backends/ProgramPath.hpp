#pragma once
// Programs as the shell finds them: a name with a slash is a path, a bare name is looked for in
// PATH's folders.
#include <optional>
#include <string>

namespace ProgramPath {

/// The file `program` names that can be run (a regular file the user may execute): the path
/// itself where it has a slash, else the first such file of that name in PATH's folders
/// (/usr/local/bin:/usr/bin:/bin where PATH is not set); none where there is none.
std::optional<std::string> find(const std::string& program);

}  // namespace ProgramPath
