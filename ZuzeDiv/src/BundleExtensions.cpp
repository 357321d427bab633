#include "ZuzeDiv/BundleExtensions.hpp"

namespace ZuzeDiv {

namespace {
std::string infoText(const Bundle& bundle, const std::string& key, const std::string& fallback) {
    const auto* value = bundle.objectForInfoDictionaryKey(key);
    if (value && value->isString()) return *value->stringValue();
    return fallback;
}
}  // namespace

std::string appName(const Bundle& bundle) { return infoText(bundle, "CFBundleName", "Unknown App"); }
std::string appVersion(const Bundle& bundle) { return infoText(bundle, "CFBundleShortVersionString", "Unknown Version"); }

}  // namespace ZuzeDiv
