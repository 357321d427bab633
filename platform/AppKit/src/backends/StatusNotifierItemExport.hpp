#pragma once
// One status item as the desktop's tray reads it over D-Bus (org.kde.StatusNotifierItem), with
// its menu beside it: its title, its picture as ARGB32 pixmaps and whether it is shown. The tray
// reads them on the bus thread from the copy the main thread made last; a click on the item in
// the tray sends the button's action on the main queue.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "AppKit/NSStatusBar.hpp"
#include "backends/DBusMenuExport.hpp"

class StatusNotifierItemExport {
public:
    /// Exports the item at `path` (its menu at `path` + "/Menu") under the tray id `id`.
    StatusNotifierItemExport(sdbus::IConnection& connection, std::string path, std::string id,
                             const std::shared_ptr<NSStatusItem>& item);
    /// Leaves the tray: says the item is no longer shown, then takes it off the bus.
    ~StatusNotifierItemExport();
    StatusNotifierItemExport(const StatusNotifierItemExport&) = delete;
    StatusNotifierItemExport& operator=(const StatusNotifierItemExport&) = delete;

    const std::string& path() const { return path_; }
    /// Main thread: copies what the item shows now and tells the tray what changed.
    void update();

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
        bool operator==(const Look&) const = default;
    };
    struct Shared {
        std::mutex mutex;
        Look look;
    };

private:
    Look lookOf(NSStatusItem& item);
    std::vector<Pixmap> iconOf(NSStatusItem& item);

    std::string path_;
    std::weak_ptr<NSStatusItem> item_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    /// The image or view the icon was last drawn from, to draw it again only when it changed.
    std::weak_ptr<NSImage> drawnImage_;
    std::weak_ptr<NSView> drawnContent_;
    bool drawnDark_ = false;
    std::unique_ptr<sdbus::IObject> object_;
    DBusMenuExport menu_;
};
