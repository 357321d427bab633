#include "AppKit/backends/SettingsPortal.hpp"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/backends/DBusConnection.hpp"

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

/// Asks for one key and waits: ReadOne first, Read where the portal has no ReadOne. None when the
/// portal has no such key or does not answer.
std::optional<sdbus::Variant> readSetting(sdbus::IProxy& proxy, const std::string& space, const std::string& key) {
    for (const char* method : {"ReadOne", "Read"}) {
        try {
            sdbus::Variant value;
            proxy.callMethod(method)
                .onInterface(settingsInterface)
                .withTimeout(answerTime)
                .withArguments(space, key)
                .storeResultsTo(value);
            return unwrapped(std::move(value));
        } catch (const sdbus::Error& error) {
            if (error.getName() != "org.freedesktop.DBus.Error.UnknownMethod") return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace

struct SettingsPortal::Connection {
    // What the bus thread shares with the main thread; callbacks hold it weakly, so that the
    // portal object may go at any time.
    struct Shared {
        std::mutex mutex;
        Preferences preferences;
        std::function<void(const Preferences&)> changed;
    };

    std::shared_ptr<sdbus::IConnection> bus;
    std::unique_ptr<sdbus::IProxy> proxy;
    sdbus::Slot settingChanged;
    sdbus::Slot portalComes;
    std::shared_ptr<Shared> shared = std::make_shared<Shared>();
    /// How this portal is read: "ReadOne", or "Read" where it is older than that. Main thread.
    std::string readMethod = "ReadOne";
    /// Lives as long as this object, for the main queue's blocks that come back to it.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    std::uint64_t follower = 0;

    ~Connection() {
        if (follower) RunLoop::main().removeObserver(follower);
        portalComes.reset();
        settingChanged.reset();
        proxy.reset();
    }

    /// Main thread: reads both keys without waiting; the answers come as changes do.
    void readAgain() {
        for (const char* key : {colorSchemeKey, accentColorKey}) ask(key);
    }

    /// Main thread: asks for one key without waiting. A portal without ReadOne is asked again
    /// with Read, and read so from then on.
    void ask(const char* key) {
        try {
            proxy->callMethodAsync(readMethod)
                .onInterface(settingsInterface)
                .withTimeout(laterAnswerTime)
                .withArguments(std::string(appearanceNamespace), std::string(key))
                .uponReplyInvoke([this, living = std::weak_ptr<bool>(alive), weak = std::weak_ptr<Shared>(shared), key,
                                  method = readMethod](const sdbus::Error* error, sdbus::Variant value) {
                    if (!error) {
                        changed(weak, key, unwrapped(std::move(value)));
                    } else if (error->getName() == "org.freedesktop.portal.Error.NotFound") {
                        changed(weak, key, std::nullopt);  // not set
                    } else if (error->getName() == "org.freedesktop.DBus.Error.UnknownMethod" && method == "ReadOne") {
                        DispatchQueue::main().async([this, living, key] {
                            if (!living.lock()) return;
                            readMethod = "Read";
                            ask(key);
                        });
                    }
                });
        } catch (const sdbus::Error&) {
        }
    }

    /// Main thread: reaches the portal on `connection` and listens to it there.
    void attach(std::shared_ptr<sdbus::IConnection> connection) {
        portalComes.reset();
        settingChanged.reset();
        proxy.reset();
        bus = std::move(connection);
        proxy = sdbus::createProxy(*bus, portalName, portalPath);
        std::weak_ptr<Shared> weak = shared;
        // Only the portal's own signal counts: the bus matches the sender against the name's owner.
        settingChanged = bus->addMatch(std::string("type='signal',sender='") + portalName + "',path='" + portalPath +
                                           "',interface='" + settingsInterface + "',member='SettingChanged'",
                                       [weak](sdbus::Message& message) {
                                           std::string space, key;
                                           sdbus::Variant value;
                                           try {
                                               message >> space >> key >> value;
                                           } catch (const sdbus::Error&) {
                                               return;  // not the signal we know
                                           }
                                           if (space != appearanceNamespace || !isAppearanceKey(key)) return;
                                           changed(weak, key, unwrapped(std::move(value)));
                                       });
        // A portal that starts again may bring other values, and tells of no change.
        portalComes = bus->addMatch(std::string("type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
                                                "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='") +
                                        portalName + "'",
                                    [this, living = std::weak_ptr<bool>(alive)](sdbus::Message& message) {
                                        std::string name, before, now;
                                        try {
                                            message >> name >> before >> now;
                                        } catch (const sdbus::Error&) {
                                            return;
                                        }
                                        if (now.empty()) return;
                                        DispatchQueue::main().async([this, living] {
                                            if (living.lock()) readAgain();
                                        });
                                    });
    }

    /// Main thread, on every pass of the loop: a session connection made anew (the bus came
    /// back, or another bus) is listened to, and the portal on it read again.
    void follow() {
        auto current = DBusConnection::session();
        if (!current || current == bus) return;
        try {
            attach(std::move(current));
            readAgain();
        } catch (const sdbus::Error&) {
        }
    }

    static void changed(const std::weak_ptr<Shared>& weak, const std::string& key, const std::optional<sdbus::Variant>& value) {
        auto shared = weak.lock();
        if (!shared) return;
        {
            std::lock_guard lock(shared->mutex);
            if (key == colorSchemeKey) {
                shared->preferences.prefersDark = value ? colorScheme(*value) : std::nullopt;
            } else {
                shared->preferences.accentColor = value ? accentColor(*value) : std::nullopt;
            }
        }
        DispatchQueue::main().async([weak] {
            auto shared = weak.lock();
            if (!shared) return;
            Preferences now;
            {
                std::lock_guard lock(shared->mutex);
                now = shared->preferences;
            }
            if (shared->changed) shared->changed(now);
        });
    }
};

std::unique_ptr<SettingsPortal> SettingsPortal::start(std::function<void(const Preferences&)> changed) {
    auto connection = std::make_unique<Connection>();
    auto bus = DBusConnection::session();
    if (!bus) return nullptr;
    connection->shared->changed = std::move(changed);
    try {
        connection->attach(std::move(bus));
    } catch (const sdbus::Error&) {
        return nullptr;
    }
    // Listening before asking: a change while the answers travel is not lost.
    connection->readAgain();
    connection->follower = RunLoop::main().addObserver([raw = connection.get()] { raw->follow(); });
    return std::unique_ptr<SettingsPortal>(new SettingsPortal(std::move(connection)));
}

std::optional<std::string> SettingsPortal::readText(const std::string& space, const std::string& key) {
    auto bus = DBusConnection::session();
    if (!bus) return std::nullopt;
    try {
        auto proxy = sdbus::createProxy(*bus, portalName, portalPath);
        auto value = readSetting(*proxy, space, key);
        if (value && value->containsValueOfType<std::string>()) return value->get<std::string>();
    } catch (const sdbus::Error&) {
    }
    return std::nullopt;
}

SettingsPortal::SettingsPortal(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

SettingsPortal::~SettingsPortal() = default;

SettingsPortal::Preferences SettingsPortal::preferences() const {
    std::lock_guard lock(connection_->shared->mutex);
    return connection_->shared->preferences;
}
