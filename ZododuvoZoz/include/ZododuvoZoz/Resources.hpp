#pragma once
// The module's resources: its bundle "ZododuvoZoz_ZododuvoZoz.bundle".
#include <memory>
#include <string>

#include "Foundation/Bundle.hpp"

namespace ZododuvoZoz {

class Resources {
public:
    Resources() = delete;
    /// The module's resource bundle; stops the process with "unable to find bundle named
    /// ZododuvoZoz_ZododuvoZoz" when it is missing.
    static std::shared_ptr<Bundle> bundle();
    /// The module's text for a localisation key (the key itself when the bundle has none).
    static std::string localized(const std::string& key, const std::string& value = "");
};

}  // namespace ZododuvoZoz
