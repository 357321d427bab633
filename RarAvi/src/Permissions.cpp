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
    // Private folders of the user that a confined process (a Flatpak or snap sandbox, an
    // AppArmor profile) is kept out of unless it was granted the home folder.
    static const std::vector<std::string> folders{
        "~/.local/share/flatpak/db/",   // the desktop portal's permission store
        "~/.local/share/keyrings/",     // the secrets
        "~/.ssh/",
        "~/.gnupg/",
        "~/.mozilla/",                  // the browser's profiles and cookies
        "~/.thunderbird/",              // mail
        "~/.local/share/evolution/",    // mail, contacts and calendars
        "~/.cache/tracker3/",           // the desktop search's index
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
            if (underlying && underlying->domain == NSPOSIXErrorDomain && (underlying->code == EPERM || underlying->code == EACCES)) {
                return false;
            }
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
