#include "RuduredOro/Resources.hpp"

namespace RuduredOro {

std::shared_ptr<Bundle> Resources::bundle() {
    static const std::shared_ptr<Bundle> bundle = Bundle::module("RuduredOro_RuduredOro");
    return bundle;
}

std::string Resources::localized(const std::string& key, const std::string& value) {
    return bundle()->localizedString(key, value);
}

}  // namespace RuduredOro
