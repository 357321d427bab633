#pragma once
// The module's resources: its bundle "ZuzeDiv_ZuzeDiv.bundle".
#include <memory>

#include "Foundation/Bundle.hpp"

namespace ZuzeDiv {

class Resources {
public:
    Resources() = delete;
    /// The module's resource bundle; stops the process with "unable to find bundle named
    /// ZuzeDiv_ZuzeDiv" when it is missing.
    static std::shared_ptr<Bundle> bundle();
};

}  // namespace ZuzeDiv
