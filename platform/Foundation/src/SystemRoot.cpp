#include "Foundation/SystemRoot.hpp"

#include <mutex>

namespace {
std::mutex rootMutex;
std::optional<std::filesystem::path> rootSetting;
}  // namespace

std::filesystem::path SystemRoot::path() {
    std::lock_guard lock(rootMutex);
    return rootSetting.value_or("/");
}

void SystemRoot::setPath(const std::optional<std::filesystem::path>& root) {
    std::lock_guard lock(rootMutex);
    // An empty path would turn absolute system paths into relative ones: it restores "/" too.
    rootSetting = root && !root->empty() ? root : std::nullopt;
}

std::filesystem::path SystemRoot::resolve(const std::filesystem::path& absolute) {
    return path() / absolute.relative_path();
}
