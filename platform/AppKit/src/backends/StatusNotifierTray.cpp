#include "AppKit/backends/StatusNotifierTray.hpp"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "AppKit/NSStatusBar.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/backends/DBusConnection.hpp"
#include "backends/StatusNotifierItemExport.hpp"

namespace {

constexpr const char* watcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* watcherPath = "/StatusNotifierWatcher";

// The bar's items on the bus, on the main thread.
class Tray {
public:
    static Tray& shared() {
        static Tray* tray = new Tray();
        return *tray;
    }

    void start() {
        if (started_) return;
        started_ = true;
        RunLoop::main().addObserver([this] { pass(); });
    }

    void registerAll() {
        for (const auto& entry : exported_) {
            if (entry.exported->isNamed()) registerItem(entry.exported->busName());
        }
    }

    void registerItem(const std::string& busName) {
        if (!watcher_) return;
        try {
            // Registered by bus name: the watcher finds the item at its usual path and forgets it
            // when the name goes. Without a watcher the call fails and the item stays in the bar.
            watcher_->callMethodAsync("RegisterStatusNotifierItem")
                .onInterface(watcherName)
                .withArguments(busName)
                .uponReplyInvoke([](const sdbus::Error*) {});
        } catch (const sdbus::Error&) {
        }
    }

private:
    struct Exported {
        std::weak_ptr<NSStatusItem> item;
        std::unique_ptr<StatusNotifierItemExport> exported;
    };

    void pass() {
        const auto items = NSStatusBar::system().statusItems();
        followTheBus(!items.empty());
        if (!connection_) return;
        std::erase_if(exported_, [&](const Exported& entry) {
            auto item = entry.item.lock();
            return !item || std::find(items.begin(), items.end(), item) == items.end();
        });
        for (const auto& item : items) {
            auto known = std::find_if(exported_.begin(), exported_.end(), [&](const Exported& entry) { return entry.item.lock() == item; });
            if (known != exported_.end()) {
                known->exported->update();
                continue;
            }
            auto own = DBusConnection::separate(DBusConnection::Bus::session);
            if (!own) return;
            const std::string number = std::to_string(nextNumber_++);
            const std::string busName =
                "org.kde.StatusNotifierItem-" + std::to_string(ProcessInfo::processInfo().processIdentifier()) + "-" + number;
            try {
                auto exported = std::make_unique<StatusNotifierItemExport>(
                    std::move(own), busName, ProcessInfo::processInfo().processName() + "-" + number, item,
                    [busName] { Tray::shared().registerItem(busName); });
                exported->update();
                exported_.push_back({item, std::move(exported)});
            } catch (const sdbus::Error&) {
            }
        }
    }

    // Takes the shared session connection while there are items, and follows it when it is made
    // anew (another bus, or the bus came back): the items are exported again on the new one.
    void followTheBus(bool wanted) {
        auto current = wanted ? DBusConnection::session() : nullptr;
        if (current == connection_) return;
        leaveTheBus();
        if (!current) return;
        connection_ = std::move(current);
        try {
            watcher_ = sdbus::createProxy(*connection_, watcherName, watcherPath);
            // A watcher that comes later (the desktop's panel starts after us, or restarts) learns
            // of every item then.
            watcherComes_ = connection_->addMatch(
                "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
                "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='" + std::string(watcherName) + "'",
                [](sdbus::Message& message) {
                    std::string name, before, now;
                    try {
                        message >> name >> before >> now;
                    } catch (const sdbus::Error&) {
                        return;
                    }
                    if (!now.empty()) DispatchQueue::main().async([] { Tray::shared().registerAll(); });
                });
        } catch (const sdbus::Error&) {
            leaveTheBus();
        }
    }

    void leaveTheBus() {
        exported_.clear();
        watcherComes_.reset();
        watcher_.reset();
        connection_.reset();
    }

    bool started_ = false;
    std::shared_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IProxy> watcher_;
    sdbus::Slot watcherComes_;
    std::vector<Exported> exported_;
    int nextNumber_ = 1;
};

}  // namespace

void StatusNotifierTray::start() { Tray::shared().start(); }
