#include "AppKit/backends/SettingsPortal.hpp"

#include <chrono>
#include <cstdint>
#include <future>
#include <mutex>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/backends/BusService.hpp"

namespace {

constexpr const char* portalName = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* settingsInterface = "org.freedesktop.portal.Settings";
constexpr const char* appearanceNamespace = "org.freedesktop.appearance";
constexpr const char* colorSchemeKey = "color-scheme";
constexpr const char* accentColorKey = "accent-color";
// Long enough for the bus to start a portal that is not running yet, for a caller that waits.
constexpr auto answerTime = std::chrono::seconds(3);
// Nobody waits for the appearance keys: a portal that is slow to start is still heard.
constexpr auto laterAnswerTime = std::chrono::seconds(25);

// Read wraps the value in one more variant than ReadOne.
sdbus::Variant unwrapped(sdbus::Variant value) {
    while (value.peekValueType() == "v") value = value.get<sdbus::Variant>();
    return value;
}

std::optional<bool> colorScheme(const sdbus::Variant& value) {
    std::optional<std::uint32_t> scheme;
    if (value.containsValueOfType<std::uint32_t>()) scheme = value.get<std::uint32_t>();
    if (value.containsValueOfType<std::int32_t>()) scheme = std::uint32_t(value.get<std::int32_t>());
    if (scheme == 1u) return true;
    if (scheme == 2u) return false;
    return std::nullopt;  // no preference, or a value this version does not know
}

std::optional<CGColor> accentColor(const sdbus::Variant& value) {
    using Triple = sdbus::Struct<double, double, double>;
    if (!value.containsValueOfType<Triple>()) return std::nullopt;
    auto triple = value.get<Triple>();
    CGColor color{std::get<0>(triple), std::get<1>(triple), std::get<2>(triple), 1};
    for (double c : {color.red, color.green, color.blue}) {
        if (!(c >= 0 && c <= 1)) return std::nullopt;
    }
    return color;
}

bool isAppearanceKey(const std::string& key) { return key == colorSchemeKey || key == accentColorKey; }

/// What a reading of one key comes to, on the bus's thread: the value, or none where the portal
/// has no such key (`answered` true), or neither where it did not answer. A block for the
/// reader's queue, or none.
using Answered = std::function<std::function<void()>(std::optional<sdbus::Variant> value, bool answered)>;

/// Asks for one key without waiting: ReadOne first, Read where the portal is older than ReadOne.
void readSetting(const std::shared_ptr<BusService>& portal, const std::string& space, const std::string& key,
                 std::chrono::seconds timeout, Answered answered, const std::string& method = "ReadOne") {
    portal->call({portalPath, settingsInterface, method, [space, key](sdbus::MethodCall& call) { call << space << key; }, timeout},
                 [weak = std::weak_ptr<BusService>(portal), space, key, timeout, answered,
                  method](sdbus::MethodReply* reply, const sdbus::Error* error) -> std::function<void()> {
                     if (reply) {
                         sdbus::Variant value;
                         *reply >> value;
                         return answered(unwrapped(std::move(value)), true);
                     }
                     if (error->getName() == "org.freedesktop.portal.Error.NotFound") return answered(std::nullopt, true);
                     auto again = weak.lock();
                     if (error->getName() == "org.freedesktop.DBus.Error.UnknownMethod" && method == "ReadOne" && again) {
                         readSetting(again, space, key, timeout, answered, "Read");
                         return {};
                     }
                     return answered(std::nullopt, false);
                 });
}

}  // namespace

struct SettingsPortal::Connection {
    // The preferences as last heard of, read from any thread; written on the main thread.
    struct Shared {
        std::mutex mutex;
        Preferences preferences;
    };

    std::function<void(const Preferences&)> changed;
    std::shared_ptr<Shared> shared = std::make_shared<Shared>();
    /// Lives as long as this object, for the blocks of the main queue that come back to it.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    std::shared_ptr<BusService> portal;

    /// A block for the main queue that runs `action` on the object while it lives. Made on the
    /// bus's thread, which must not touch the object itself.
    static std::function<void()> onMain(Connection* self, const std::weak_ptr<bool>& living,
                                        std::function<void(Connection&)> action) {
        return [self, living, action = std::move(action)] {
            if (living.lock()) action(*self);
        };
    }

    /// Main thread: reads both keys without waiting; the answers come as changes do. Asking
    /// starts a portal that the bus activates.
    void readAgain() {
        for (const char* key : {colorSchemeKey, accentColorKey}) ask(key);
    }

    /// Main thread: asks for one key without waiting.
    void ask(const char* key) {
        readSetting(portal, appearanceNamespace, key, laterAnswerTime,
                    [self = this, living = std::weak_ptr<bool>(alive), key](std::optional<sdbus::Variant> value,
                                                                           bool answered) -> std::function<void()> {
                        if (!answered) return {};
                        return onMain(self, living, [key, value](Connection& target) { target.set(key, value); });
                    });
    }

    /// Main thread: takes in a key's value and tells of the preferences.
    void set(const std::string& key, const std::optional<sdbus::Variant>& value) {
        Preferences now;
        {
            std::lock_guard lock(shared->mutex);
            if (key == colorSchemeKey) {
                shared->preferences.prefersDark = value ? colorScheme(*value) : std::nullopt;
            } else {
                shared->preferences.accentColor = value ? accentColor(*value) : std::nullopt;
            }
            now = shared->preferences;
        }
        if (changed) changed(now);
    }

    void follow() {
        BusService::Client client;
        client.joined = [this, living = std::weak_ptr<bool>(alive)](const std::string&) {
            if (living.lock()) readAgain();
        };
        // A portal that starts, later or again, may bring other values, and tells of no change (a
        // portal that the bus started for the first asking is so asked twice).
        client.ownerChanged = [this, living = std::weak_ptr<bool>(alive)](const std::string& owner) {
            if (living.lock() && !owner.empty()) readAgain();
        };
        // Only the portal's own signal counts: the bus matches a broadcast's sender against the
        // name's owner, and the service one sent to this connection alone.
        client.ownersSignalsOnly = true;
        client.matches.emplace_back(
            std::string("type='signal',sender='") + portalName + "',path='" + portalPath + "',interface='" +
                settingsInterface + "',member='SettingChanged'",
            [self = this, living = std::weak_ptr<bool>(alive)](sdbus::Message& message) -> std::function<void()> {
                std::string space, key;
                sdbus::Variant value;
                message >> space >> key >> value;
                if (space != appearanceNamespace || !isAppearanceKey(key)) return {};
                return onMain(self, living, [key, value = unwrapped(std::move(value))](Connection& target) {
                    target.set(key, value);
                });
            });
        portal = BusService::make(BusService::Bus::session, portalName, DispatchQueue::main(), std::move(client));
    }
};

std::unique_ptr<SettingsPortal> SettingsPortal::start(std::function<void(const Preferences&)> changed) {
    auto connection = std::make_unique<Connection>();
    connection->changed = std::move(changed);
    connection->follow();
    return std::unique_ptr<SettingsPortal>(new SettingsPortal(std::move(connection)));
}

std::optional<std::string> SettingsPortal::readText(const std::string& space, const std::string& key) {
    // The portal as those who wait for a key reach it; lives as long as the process.
    static auto* portal = new std::shared_ptr<BusService>(
        BusService::make(BusService::Bus::session, portalName, DispatchQueue("SettingsPortal reads"), {}));
    auto text = std::make_shared<std::promise<std::optional<std::string>>>();
    auto read = text->get_future();
    readSetting(*portal, space, key, answerTime, [text](std::optional<sdbus::Variant> value, bool) -> std::function<void()> {
        text->set_value(value && value->containsValueOfType<std::string>() ? std::optional(value->get<std::string>()) : std::nullopt);
        return {};
    });
    return read.get();
}

SettingsPortal::SettingsPortal(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

SettingsPortal::~SettingsPortal() = default;

SettingsPortal::Preferences SettingsPortal::preferences() const {
    std::lock_guard lock(connection_->shared->mutex);
    return connection_->shared->preferences;
}
