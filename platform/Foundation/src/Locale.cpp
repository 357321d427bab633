#include "Foundation/Locale.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>

namespace {
std::mutex settingsMutex;
std::optional<std::string> currentLocaleSetting;
std::optional<std::vector<std::string>> preferredLanguagesSetting;

// "de_DE.UTF-8@euro" -> "de_DE"; "C" and "POSIX" name no language.
std::optional<std::string> localeFromEnvironmentValue(const char* value) {
    if (!value || !*value) return std::nullopt;
    std::string text = value;
    text = text.substr(0, text.find_first_of(".@"));
    if (text.empty() || text == "C" || text == "POSIX") return std::nullopt;
    return text;
}
}  // namespace

Locale::Locale(std::string identifier) : identifier_(std::move(identifier)) {}

Locale Locale::current() {
    {
        std::lock_guard lock(settingsMutex);
        if (currentLocaleSetting) return Locale(*currentLocaleSetting);
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (auto identifier = localeFromEnvironmentValue(std::getenv(name))) return Locale(*identifier);
    }
    return Locale("en_US");
}

void Locale::setCurrent(const std::optional<std::string>& identifier) {
    std::lock_guard lock(settingsMutex);
    currentLocaleSetting = identifier;
}

std::vector<std::string> Locale::preferredLanguages() {
    {
        std::lock_guard lock(settingsMutex);
        if (preferredLanguagesSetting) return *preferredLanguagesSetting;
    }
    std::vector<std::string> languages;
    auto add = [&](std::string language) {
        for (auto& c : language) c = c == '_' ? '-' : c;
        if (!language.empty() && std::find(languages.begin(), languages.end(), language) == languages.end())
            languages.push_back(language);
    };
    if (const char* list = std::getenv("LANGUAGE"); list && *list) {
        std::string text = list;
        std::size_t start = 0;
        while (start <= text.size()) {
            auto end = text.find(':', start);
            if (auto id = localeFromEnvironmentValue(text.substr(start, end - start).c_str())) add(*id);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    add(current().identifier());
    return languages;
}

void Locale::setPreferredLanguages(const std::optional<std::vector<std::string>>& languages) {
    std::lock_guard lock(settingsMutex);
    preferredLanguagesSetting = languages;
}

std::optional<std::string> Locale::languageCode() const {
    auto code = identifier_.substr(0, identifier_.find_first_of("_-"));
    if (code.empty()) return std::nullopt;
    return code;
}

std::optional<std::string> Locale::regionCode() const {
    auto separator = identifier_.find_first_of("_-");
    if (separator == std::string::npos) return std::nullopt;
    auto rest = identifier_.substr(separator + 1);
    // Skip a script part ("zh_Hans_CN"): regions are two letters or three digits.
    while (!rest.empty()) {
        auto next = rest.find_first_of("_-");
        auto part = rest.substr(0, next);
        if (part.size() == 2 || (part.size() == 3 && std::isdigit(static_cast<unsigned char>(part[0])))) {
            if (part == "POSIX") return std::nullopt;
            return part;
        }
        if (next == std::string::npos) break;
        rest = rest.substr(next + 1);
    }
    return std::nullopt;
}
