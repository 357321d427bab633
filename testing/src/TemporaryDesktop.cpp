#include "Testing/TemporaryDesktop.hpp"

#include <cstdlib>

#include "Foundation/PathUtilities.hpp"

TemporaryDesktop::TemporaryDesktop() {
    std::filesystem::create_directories(home());
    UserAccount::setHomeDirectory(home().string());
    setVariable("HOME", home().string());
    setVariable("XDG_DATA_HOME", dataHome().string());
    setVariable("XDG_CONFIG_HOME", configHome().string());
    setVariable("XDG_CACHE_HOME", (home() / ".cache").string());
    setVariable("XDG_STATE_HOME", (home() / ".local/state").string());
    setVariable("XDG_DATA_DIRS", share().string() + ":/usr/share");
    setVariable("XDG_CURRENT_DESKTOP", std::nullopt);
}

TemporaryDesktop::~TemporaryDesktop() {
    for (const auto& [name, value] : previous_) {
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }
    UserAccount::setHomeDirectory(std::nullopt);
}

void TemporaryDesktop::setVariable(const std::string& name, const std::optional<std::string>& value) {
    if (!previous_.count(name)) {
        const char* old = std::getenv(name.c_str());
        previous_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name.c_str());
    }
}
