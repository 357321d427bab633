#pragma once
// One status item as the desktop's tray reads it over D-Bus (org.kde.StatusNotifierItem), with
// its menu beside it: its title, its picture as ARGB32 pixmaps and whether it is shown. Each item
// has a connection and a bus name of its own, as the protocol expects, so that every tray drops
// the item when the name goes with it. The main thread copies what the item shows; everything on
// the bus (the connection, the objects, the signals that tell of changes) is made, sent and let go
// of on the tray's own thread, never the main one. The tray reads the item on the bus thread from
// the copy the main thread made last; a click on the item in the tray sends the button's action on
// the main queue.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "AppKit/NSStatusBar.hpp"
#include "backends/DBusMenuExport.hpp"

class StatusNotifierItemExport {
public:
    /// The path of every item on its own connection.
    static constexpr const char* path = "/StatusNotifierItem";

    /// Main thread: the item with the tray id `id`, to be exported under `busName`.
    StatusNotifierItemExport(std::string busName, std::string id, const std::shared_ptr<NSStatusItem>& item);
    /// Leaves the tray: closes the item's connection, and its bus name goes with it. Not on the
    /// main thread once published.
    ~StatusNotifierItemExport();
    StatusNotifierItemExport(const StatusNotifierItemExport&) = delete;
    StatusNotifierItemExport& operator=(const StatusNotifierItemExport&) = delete;

    const std::string& busName() const { return busName_; }
    /// Whether the bus gave the item its name (main thread).
    bool isNamed() const { return named_; }
    void setNamed() { named_ = true; }

    /// What a copy changed, for the tray to hear.
    struct Changes {
        bool title = false;
        bool icon = false;
        std::optional<std::string> status;
        std::optional<std::uint32_t> menuRevision;
        bool any() const { return title || icon || status || menuRevision; }
    };
    /// Main thread: copies what the item shows now; what changed since the last copy.
    Changes update();
    /// Not on the main thread: exports the item (its menu at path + "/Menu") on a connection of
    /// its own to the session bus and asks the bus for its name; `named` runs on that connection's
    /// thread once the name is the item's. Nothing is exported when no session bus answers.
    void publish(std::function<void()> named);
    /// Where publish() ran: tells the tray what changed.
    void tell(const Changes& changes);

    /// One picture: width, height and ARGB32 pixels in network byte order, not premultiplied.
    struct Pixmap {
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::vector<std::uint8_t> argb;
        bool operator==(const Pixmap&) const = default;
    };
    /// What the tray shows of the item.
    struct Look {
        std::string title;
        std::string status = "Active";
        bool itemIsMenu = false;
        std::vector<Pixmap> icon;
    };
    struct Shared {
        std::mutex mutex;
        Look look;
    };

private:
    Look lookOf(NSStatusItem& item);
    std::vector<Pixmap> iconOf(NSStatusItem& item);

    // The members go in reverse order: the proxy, the menu and the item leave the connection
    // before it closes.
    std::shared_ptr<sdbus::IConnection> connection_;
    std::string busName_;
    std::string id_;
    bool named_ = false;
    std::weak_ptr<NSStatusItem> item_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    /// The image or view the icon was last drawn from, to draw it again only when it changed.
    std::weak_ptr<NSImage> drawnImage_;
    std::weak_ptr<NSView> drawnContent_;
    bool drawnDark_ = false;
    std::unique_ptr<sdbus::IObject> object_;
    DBusMenuExport menu_;
    std::unique_ptr<sdbus::IProxy> daemon_;
};
