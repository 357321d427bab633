#pragma once
// A menu of the application as the desktop's tray reads it over D-Bus (com.canonical.dbusmenu):
// its entries with their ids, labels and states. The main thread copies the menu; the object on the
// bus is made and tells of changes on the tray's own thread, and the tray reads it on the bus thread
// from the copy the main thread made last; choosing an entry in the tray's menu runs the entry's
// action on the main queue.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "AppKit/NSMenu.hpp"

class DBusMenuExport {
public:
    /// An empty menu, to be exported at `path`.
    explicit DBusMenuExport(std::string path);
    ~DBusMenuExport();
    DBusMenuExport(const DBusMenuExport&) = delete;
    DBusMenuExport& operator=(const DBusMenuExport&) = delete;

    const std::string& path() const { return path_; }
    /// Exports the menu at its path of `connection`; not on the main thread (it may wait for the
    /// bus). The export goes with this object.
    void publish(sdbus::IConnection& connection);
    /// Main thread: copies the menu's entries (none for nullptr); the copy's new revision when
    /// they changed.
    std::optional<std::uint32_t> update(const std::shared_ptr<NSMenu>& menu);
    /// Tells the tray that the layout is at `revision` now; where publish() runs.
    void layoutUpdated(std::uint32_t revision);

    /// One entry as the tray sees it; the root has id 0.
    struct Entry {
        std::int32_t id = 0;
        std::string label;
        bool enabled = true;
        bool separator = false;
        bool submenu = false;
        std::vector<Entry> children;
        bool operator==(const Entry&) const = default;
    };
    /// The last copy and its revision, shared with the bus thread.
    struct Layout {
        std::mutex mutex;
        Entry root;
        std::uint32_t revision = 1;
    };
    /// The ids given to the menu's items; read and written on the main thread only.
    struct Ids {
        std::vector<std::pair<std::weak_ptr<NSMenuItem>, std::int32_t>> items;
        std::int32_t next = 1;
        std::int32_t of(const std::shared_ptr<NSMenuItem>& item);
        std::shared_ptr<NSMenuItem> item(std::int32_t id) const;
    };

private:
    Entry copy(const std::shared_ptr<NSMenuItem>& item);

    std::string path_;
    std::shared_ptr<Layout> layout_ = std::make_shared<Layout>();
    std::shared_ptr<Ids> ids_ = std::make_shared<Ids>();
    std::unique_ptr<sdbus::IObject> object_;
};
