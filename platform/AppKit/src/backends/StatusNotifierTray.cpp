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
#include "Foundation/backends/BusService.hpp"
#include "backends/StatusNotifierItemExport.hpp"

namespace {

constexpr const char* watcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* watcherPath = "/StatusNotifierWatcher";

// The bar's items on the bus, on the main thread; what waits for the bus runs on the watcher's
// service's thread.
class Tray {
public:
    static Tray& shared() {
        static Tray* tray = new Tray();
        return *tray;
    }

    void start() {
        if (watcher_) return;
        BusService::Client client;
        client.joined = [this](const std::string& owner) {
            joined_ = true;
            watched_ = !owner.empty();
        };
        // A watcher that comes later (the desktop's panel starts after us, or restarts) learns of
        // every item then.
        client.ownerChanged = [this](const std::string& owner) {
            watched_ = !owner.empty();
            if (watched_) registerAll();
        };
        // The items' own connections went with the bus: they are exported anew once it is back,
        // under the names and ids they had, so that the panel knows them again.
        client.left = [this] {
            joined_ = watched_ = false;
            for (auto& entry : exported_) {
                if (entry.exported) letGo(std::move(entry.exported));
            }
        };
        watcher_ = BusService::make(BusService::Bus::session, watcherName, DispatchQueue::main(), std::move(client));
        RunLoop::main().addObserver([this] { pass(); });
    }

private:
    struct Exported {
        std::weak_ptr<NSStatusItem> item;
        int number;  // the item's for as long as the process runs
        std::shared_ptr<StatusNotifierItemExport> exported;  // none while the bus is away
    };

    void registerAll() {
        for (const auto& entry : exported_) {
            if (entry.exported && entry.exported->isNamed()) registerItem(entry.exported->busName());
        }
    }

    void registerItem(const std::string& busName) {
        if (!watched_) return;
        // Registered by bus name: the watcher finds the item at its usual path and forgets it
        // when the name goes. A watcher that fails the call keeps the item in the bar only.
        watcher_->call({watcherPath, watcherName, "RegisterStatusNotifierItem",
                        [busName](sdbus::MethodCall& call) { call << busName; }},
                       [](sdbus::MethodReply*, const sdbus::Error*) { return std::function<void()>(); });
    }

    // An export is let go of where it was made: closing its connection may wait for the bus.
    void letGo(std::shared_ptr<StatusNotifierItemExport> exported) {
        watcher_->perform([exported = std::move(exported)](const std::shared_ptr<sdbus::IConnection>&) mutable {
            exported.reset();
        });
    }

    void pass() {
        const auto items = NSStatusBar::system().statusItems();
        if (!joined_) return;
        std::erase_if(exported_, [&](Exported& entry) {
            auto item = entry.item.lock();
            if (item && std::find(items.begin(), items.end(), item) != items.end()) return false;
            if (entry.exported) letGo(std::move(entry.exported));
            return true;
        });
        for (const auto& item : items) {
            auto known = std::find_if(exported_.begin(), exported_.end(), [&](const Exported& entry) { return entry.item.lock() == item; });
            if (known == exported_.end()) known = exported_.insert(exported_.end(), {item, nextNumber_++, nullptr});
            if (known->exported) {
                if (auto changes = known->exported->update(); changes.any()) {
                    watcher_->perform([exported = known->exported, changes](const std::shared_ptr<sdbus::IConnection>&) {
                        exported->tell(changes);
                    });
                }
                continue;
            }
            const std::string number = std::to_string(known->number);
            const std::string busName =
                "org.kde.StatusNotifierItem-" + std::to_string(ProcessInfo::processInfo().processIdentifier()) + "-" + number;
            auto exported = std::make_shared<StatusNotifierItemExport>(
                busName, ProcessInfo::processInfo().processName() + "-" + number, item);
            exported->update();
            std::weak_ptr<StatusNotifierItemExport> weak = exported;
            watcher_->perform([exported, weak](const std::shared_ptr<sdbus::IConnection>&) {
                exported->publish([weak] {
                    DispatchQueue::main().async([weak] {
                        auto named = weak.lock();
                        if (!named) return;
                        named->setNamed();
                        Tray::shared().registerItem(named->busName());
                    });
                });
            });
            known->exported = std::move(exported);
        }
    }

    std::shared_ptr<BusService> watcher_;
    bool joined_ = false;   // the session bus is there
    bool watched_ = false;  // a watcher owns its name on it
    std::vector<Exported> exported_;
    int nextNumber_ = 1;
};

}  // namespace

void StatusNotifierTray::start() { Tray::shared().start(); }
