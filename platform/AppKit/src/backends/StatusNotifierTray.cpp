#include "AppKit/backends/StatusNotifierTray.hpp"

#include <algorithm>
#include <cstdlib>
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

std::string sessionAddress() {
    const char* set = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return set ? set : "";
}

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
        for (const auto& entry : exported_) registerItem(entry.exported->path());
    }

private:
    struct Exported {
        std::weak_ptr<NSStatusItem> item;
        std::unique_ptr<StatusNotifierItemExport> exported;
    };

    void pass() {
        const auto items = NSStatusBar::system().statusItems();
        followTheBus(items);
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
            const int number = nextNumber_++;
            try {
                auto exported = std::make_unique<StatusNotifierItemExport>(
                    *connection_, "/StatusNotifierItem/" + std::to_string(number),
                    ProcessInfo::processInfo().processName() + "-" + std::to_string(number), item);
                exported->update();
                registerItem(exported->path());
                exported_.push_back({item, std::move(exported)});
            } catch (const sdbus::Error&) {
            }
        }
    }

    // Takes the shared session connection, and follows it when it is made anew (another bus, or
    // the bus came back); without items nothing is asked of the bus.
    void followTheBus(const std::vector<std::shared_ptr<NSStatusItem>>& items) {
        if (items.empty()) {
            leaveTheBus();
            triedItems_.clear();
            return;
        }
        const std::string address = sessionAddress();
        std::vector<const NSStatusItem*> present;
        for (const auto& item : items) present.push_back(item.get());
        const bool tryAgain = !connection_ && (address != triedAddress_ || present != triedItems_);
        triedAddress_ = address;
        triedItems_ = std::move(present);
        if (!connection_ && !tryAgain) return;
        auto current = DBusConnection::session();
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

    void registerItem(const std::string& path) {
        if (!watcher_) return;
        try {
            // Registered by path: the watcher takes the sender's name with it. Without a watcher
            // the call fails and the item stays in the bar only.
            watcher_->callMethodAsync("RegisterStatusNotifierItem")
                .onInterface(watcherName)
                .withArguments(path)
                .uponReplyInvoke([](const sdbus::Error*) {});
        } catch (const sdbus::Error&) {
        }
    }

    bool started_ = false;
    std::shared_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IProxy> watcher_;
    sdbus::Slot watcherComes_;
    std::vector<Exported> exported_;
    std::string triedAddress_;
    std::vector<const NSStatusItem*> triedItems_;
    int nextNumber_ = 1;
};

}  // namespace

void StatusNotifierTray::start() { Tray::shared().start(); }
