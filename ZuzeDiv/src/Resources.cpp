#include "ZuzeDiv/Resources.hpp"

namespace ZuzeDiv {

std::shared_ptr<Bundle> Resources::bundle() {
    static const std::shared_ptr<Bundle> bundle = Bundle::module("ZuzeDiv_ZuzeDiv");
    return bundle;
}

std::string Resources::localized(const std::string& key, const std::string& value) {
    return bundle()->localizedString(key, value);
}

}  // namespace ZuzeDiv
