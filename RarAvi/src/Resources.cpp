#include "RarAvi/Resources.hpp"

namespace RarAvi {

std::shared_ptr<Bundle> Resources::bundle() {
    static const std::shared_ptr<Bundle> bundle = Bundle::module("RarAvi_RarAvi");
    return bundle;
}

std::string Resources::localized(const std::string& key, const std::string& value) {
    return bundle()->localizedString(key, value);
}

}  // namespace RarAvi
