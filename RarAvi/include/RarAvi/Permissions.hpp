#pragma once
// Whether the process has full disk access (told by listing private folders of the user that
// sandboxes keep confined processes out of, or by reading the privacy database), and the pages of
// the desktop's settings where the user grants such rights.
#include <optional>
#include <string>
#include <vector>

namespace RarAvi {

/// The privacy pages of the security settings.
enum class PrivacyPage {
    privacy,
    accessibility,
    allFiles,
    Assistive,
    Calendars,
    Camera,
    Contacts,
    Diagnostics,
    LinkedIn,
    LocationServices,
    Microphone,
    Reminders,
    SystemServices,
};

/// "Privacy", "Privacy_Accessibility", "Privacy_AllFiles", ...
std::string rawValue(PrivacyPage page);
/// The page whose raw value is exactly the text; absent for any other text.
std::optional<PrivacyPage> privacyPageFrom(const std::string& raw);

class Permissions {
public:
    Permissions() = delete;

    /// The folders a sandbox protects, in the order they are probed.
    static const std::vector<std::string>& protectedFolders();

    /// False as soon as a protected folder refuses its listing (not permitted, or permission
    /// denied); otherwise true when at least one of them exists as a folder.
    static bool hasFullDiskAccess();
    /// Whether the privacy database can be read.
    static bool canReadPrivacyDatabase();
    /// Opens the privacy page in the desktop's settings (nothing happens where it has none).
    static void openPrivacyPage(PrivacyPage page);
    static void openNotificationSettings();
};

}  // namespace RarAvi
