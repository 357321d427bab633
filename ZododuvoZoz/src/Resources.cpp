#include "ZododuvoZoz/Resources.hpp"

namespace ZododuvoZoz {

std::shared_ptr<Bundle> Resources::bundle() {
    static const std::shared_ptr<Bundle> bundle = Bundle::module("ZododuvoZoz_ZododuvoZoz");
    return bundle;
}

std::string Resources::localized(const std::string& key, const std::string& value) {
    return bundle()->localizedString(key, value);
}

}  // namespace ZododuvoZoz
