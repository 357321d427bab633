#pragma once
// Names the dispatch queues of guarded values.
#include <string>

namespace ZuzeDiv {

class LabelDispatch {
public:
    /// "com.threading.dispatchqueue_" followed by a process-wide counter that starts at 0 and
    /// grows by one with every call, from any thread.
    static std::string nextLabel();
};

}  // namespace ZuzeDiv
