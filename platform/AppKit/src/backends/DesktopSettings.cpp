#include "backends/DesktopSettings.hpp"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/backends/BusService.hpp"
#include "Foundation/backends/DesktopEntry.hpp"
#include "backends/DetachedProcess.hpp"

namespace DesktopSettings {

namespace {
constexpr std::string_view scheme = "x-apple.systempreferences:";

// Where a page is on each desktop.
struct Page {
    const char* gnomePanel;
    const char* kdeModule;
    const char* settingsAddress;
};

constexpr Page privacy{"privacy", "kcm_flatpak", "settings://security/privacy"};
// Per-application grants (files, contacts, calendars...) are kept with the applications.
constexpr Page applications{"applications", "kcm_flatpak", "settings://security/privacy"};

Page pageOf(const std::string& address) {
    const std::string rest = address.substr(scheme.size());
    const auto mark = rest.find('?');
    const std::string pane = rest.substr(0, mark);
    const std::string anchor = mark == std::string::npos ? "" : rest.substr(mark + 1);
    if (pane == "com.apple.preference.notifications") return {"notifications", "kcm_notifications", "settings://notifications"};
    static const std::map<std::string, Page> anchors{
        {"Privacy_Camera", {"camera", "kcm_flatpak", "settings://security/privacy"}},
        {"Privacy_Microphone", {"microphone", "kcm_flatpak", "settings://security/privacy"}},
        {"Privacy_LocationServices", {"location", "kcm_flatpak", "settings://security/privacy"}},
        {"Privacy_Diagnostics", {"diagnostics", "kcm_feedback", "settings://security/privacy"}},
        {"Privacy_AllFiles", applications},
        {"Privacy_Accessibility", applications},
        {"Privacy_Assistive", applications},
        {"Privacy_Calendars", applications},
        {"Privacy_Contacts", applications},
        {"Privacy_Reminders", applications},
    };
    auto found = anchors.find(anchor);
    return found == anchors.end() ? privacy : found->second;
}

bool isDesktop(const char* name) {
    const char* current = std::getenv("XDG_CURRENT_DESKTOP");
    std::stringstream list(current ? current : "");
    std::string entry;
    while (std::getline(list, entry, ':')) {
        std::transform(entry.begin(), entry.end(), entry.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (entry == name) return true;
    }
    return false;
}

bool hasSettingsHandler() {
    const auto entries = DesktopEntry::installed();
    return std::any_of(entries.begin(), entries.end(), [](const DesktopEntry& entry) {
        return std::find(entry.mimeTypes.begin(), entry.mimeTypes.end(), "x-scheme-handler/settings") != entry.mimeTypes.end();
    });
}

bool openOutsideGnome(const Page& page) {
    if (isDesktop("KDE") && DetachedProcess::start({"systemsettings", page.kdeModule})) return true;
    return hasSettingsHandler() && DetachedProcess::start({"xdg-open", page.settingsAddress});
}
}  // namespace

bool isSettingsAddress(const URL& address) { return address.absoluteString().rfind(scheme, 0) == 0; }

bool open(const URL& address) {
    if (!isSettingsAddress(address)) return false;
    const Page page = pageOf(address.absoluteString());
    if (!isDesktop("GNOME") && !isDesktop("UNITY")) return openOutsideGnome(page);
    // GNOME Settings as every page reaches it; lives as long as the process. The bus starts it
    // when it is not running; where it cannot, the page opens as outside GNOME.
    static auto* settings = new std::shared_ptr<BusService>(
        BusService::make(BusService::Bus::session, "org.gnome.Settings", DispatchQueue::main(), {}));
    (*settings)->call({"/org/gnome/Settings", "org.freedesktop.Application", "ActivateAction",
                       [panel = std::string(page.gnomePanel)](sdbus::MethodCall& call) {
                           const sdbus::Struct<std::string, std::vector<sdbus::Variant>> target{panel, std::vector<sdbus::Variant>{}};
                           call << std::string("launch-panel") << std::vector<sdbus::Variant>{sdbus::Variant(target)}
                                << std::map<std::string, sdbus::Variant>{};
                       }},
                      [page](sdbus::MethodReply*, const sdbus::Error* error) -> std::function<void()> {
                          if (!error) return {};
                          return [page] { openOutsideGnome(page); };
                      });
    return true;
}

}  // namespace DesktopSettings
