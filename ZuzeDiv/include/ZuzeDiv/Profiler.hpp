#pragma once
// Named intervals: start records the moment under a name, stop prints the time since then
// ("<name>: 12.345 ms") to standard output and forgets the name.
#include <string>

namespace ZuzeDiv {

class Profiler {
public:
    Profiler() = delete;

    /// Records now under the name, replacing an earlier start of it.
    static void start(const std::string& name);
    /// Prints the time since the name's start; prints nothing when it was not started.
    static void stop(const std::string& name);
};

}  // namespace ZuzeDiv
