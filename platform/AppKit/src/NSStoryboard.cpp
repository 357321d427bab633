#include "AppKit/NSStoryboard.hpp"

#include <mutex>

namespace {
struct Registration {
    std::string name;
    std::optional<std::filesystem::path> bundlePath;  // none: the main bundle
    NSStoryboard::Scenes scenes;
};

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}
std::vector<Registration>& registry() {
    static std::vector<Registration> registrations;
    return registrations;
}

std::optional<std::filesystem::path> pathOf(const std::shared_ptr<Bundle>& bundle) {
    if (!bundle) return std::nullopt;
    return bundle->bundlePath();
}
}  // namespace

void NSStoryboard::registerStoryboard(const std::string& name, Scenes scenes, const std::shared_ptr<Bundle>& bundle) {
    std::lock_guard lock(registryMutex());
    auto path = pathOf(bundle);
    std::erase_if(registry(), [&](const auto& r) { return r.name == name && r.bundlePath == path; });
    registry().push_back({name, path, std::move(scenes)});
}

void NSStoryboard::unregisterStoryboard(const std::string& name, const std::shared_ptr<Bundle>& bundle) {
    std::lock_guard lock(registryMutex());
    auto path = pathOf(bundle);
    std::erase_if(registry(), [&](const auto& r) { return r.name == name && r.bundlePath == path; });
}

std::shared_ptr<NSStoryboard> NSStoryboard::make(const std::string& name, const std::shared_ptr<Bundle>& bundle) {
    auto main = Bundle::main();
    auto wanted = bundle ? bundle->bundlePath() : main->bundlePath();
    bool wantsMain = !bundle || bundle->bundlePath() == main->bundlePath();
    std::lock_guard lock(registryMutex());
    for (const auto& r : registry()) {
        if (r.name != name) continue;
        if ((r.bundlePath && *r.bundlePath == wanted) || (!r.bundlePath && wantsMain)) {
            return std::make_shared<NSStoryboard>(name, r.scenes);
        }
    }
    return nullptr;
}

std::shared_ptr<NSResponder> NSStoryboard::instantiateInitialController() const {
    if (!scenes_.initialScene) return nullptr;
    return instantiateController(*scenes_.initialScene);
}

std::shared_ptr<NSResponder> NSStoryboard::instantiateController(const std::string& identifier) const {
    auto it = scenes_.factories.find(identifier);
    if (it == scenes_.factories.end() || !it->second) return nullptr;
    return it->second();
}
