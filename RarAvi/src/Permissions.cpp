#include "RarAvi/Permissions.hpp"

#include <array>
#include <cerrno>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"

namespace RarAvi {

namespace {
constexpr std::array<const char*, 13> rawValues{
    "Privacy",           "Privacy_Accessibility", "Privacy_AllFiles",   "Privacy_Assistive",    "Privacy_Calendars",
    "Privacy_Camera",    "Privacy_Contacts",      "Privacy_Diagnostics", "Privacy_LinkedIn",    "Privacy_LocationServices",
    "Privacy_Microphone", "Privacy_Reminders",    "Privacy_SystemServices"};

void openAddress(const std::string& address) {
    if (auto url = URL::string(address)) NSWorkspace::shared().open(*url);
}
}  // namespace

std::string rawValue(PrivacyPage page) { return rawValues[static_cast<std::size_t>(page)]; }

std::optional<PrivacyPage> privacyPageFrom(const std::string& raw) {
    for (std::size_t i = 0; i < rawValues.size(); ++i) {
        if (raw == rawValues[i]) return static_cast<PrivacyPage>(i);
    }
    return std::nullopt;
}

const std::vector<std::string>& Permissions::protectedFolders() {
    static const std::vector<std::string> folders{
        "~/Library/Application Support/com.apple.TCC/",
        "~/Library/Containers/com.apple.mail/",
        "~/Library/Containers/com.apple.Safari/",
        "~/Library/Cookies/",
        "~/Library/Mail/",
        "~/Library/Messages/",
        "~/Library/Metadata/CoreSpotlight/",
        "~/Library/Safari/",
    };
    return folders;
}

bool Permissions::hasFullDiskAccess() {
    auto& fileManager = FileManager::defaultManager();
    bool answer = false;
    for (const auto& folder : protectedFolders()) {
        const std::string path = standardizingPath(expandingTildeInPath(folder));
        bool isDirectory = false;
        if (!fileManager.fileExists(path, &isDirectory) || !isDirectory) continue;
        NSError error;
        if (!fileManager.contentsOfDirectory(path, &error)) {
            const auto& underlying = error.underlyingError;
            if (underlying && underlying->domain == NSPOSIXErrorDomain && underlying->code == EPERM) return false;
        }
        answer = true;
    }
    return answer;
}

bool Permissions::canReadPrivacyDatabase() {
    return FileManager::defaultManager().contents("/Library/Application Support/com.apple.TCC/TCC.db").has_value();
}

void Permissions::openPrivacyPage(PrivacyPage page) {
    openAddress("x-apple.systempreferences:com.apple.preference.security?" + rawValue(page));
}

void Permissions::openNotificationSettings() { openAddress("x-apple.systempreferences:com.apple.preference.notifications"); }

}  // namespace RarAvi
