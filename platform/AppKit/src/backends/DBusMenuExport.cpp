#include "backends/DBusMenuExport.hpp"

#include <algorithm>
#include <map>
#include <tuple>

#include "Foundation/DispatchQueue.hpp"

namespace {

constexpr const char* menuInterface = "com.canonical.dbusmenu";

using Properties = std::map<std::string, sdbus::Variant>;
using Layout = sdbus::Struct<std::int32_t, Properties, std::vector<sdbus::Variant>>;
using Event = sdbus::Struct<std::int32_t, std::string, sdbus::Variant, std::uint32_t>;

using Entry = DBusMenuExport::Entry;

const Entry* find(const Entry& entry, std::int32_t id) {
    if (entry.id == id) return &entry;
    for (const auto& child : entry.children) {
        if (const Entry* found = find(child, id)) return found;
    }
    return nullptr;
}

void collect(const Entry& entry, std::vector<const Entry*>& all) {
    all.push_back(&entry);
    for (const auto& child : entry.children) collect(child, all);
}

// Underscores in a label mark access keys for the tray: a title's own are doubled.
std::string label(const std::string& title) {
    std::string escaped;
    for (char c : title) {
        escaped += c;
        if (c == '_') escaped += '_';
    }
    return escaped;
}

Properties properties(const Entry& entry, const std::vector<std::string>& names) {
    Properties all;
    if (entry.separator) {
        all["type"] = sdbus::Variant(std::string("separator"));
    } else if (entry.id != 0) {
        all["label"] = sdbus::Variant(label(entry.label));
        all["enabled"] = sdbus::Variant(entry.enabled);
    }
    if (entry.submenu || entry.id == 0) all["children-display"] = sdbus::Variant(std::string("submenu"));
    if (names.empty()) return all;
    Properties asked;
    for (const auto& name : names) {
        if (auto found = all.find(name); found != all.end()) asked.insert(*found);
    }
    return asked;
}

Layout layout(const Entry& entry, std::int32_t depth, const std::vector<std::string>& names) {
    std::vector<sdbus::Variant> children;
    if (depth != 0) {
        for (const auto& child : entry.children) children.emplace_back(layout(child, depth - 1, names));
    }
    return Layout(entry.id, properties(entry, names), std::move(children));
}

sdbus::Error noSuchEntry(std::int32_t id) {
    return sdbus::Error("org.freedesktop.DBus.Error.InvalidArgs", "No menu entry " + std::to_string(id));
}

// A click in the tray's menu, run on the main queue while the menu is exported.
void post(const std::weak_ptr<DBusMenuExport::Ids>& ids, std::int32_t id, const std::string& event) {
    if (event != "clicked") return;
    DispatchQueue::main().async([ids, id] {
        auto known = ids.lock();
        if (auto item = known ? known->item(id) : nullptr) item->performAction();
    });
}

}  // namespace

std::int32_t DBusMenuExport::Ids::of(const std::shared_ptr<NSMenuItem>& item) {
    for (const auto& [known, id] : items) {
        if (known.lock() == item) return id;
    }
    items.emplace_back(item, next);
    return next++;
}

std::shared_ptr<NSMenuItem> DBusMenuExport::Ids::item(std::int32_t id) const {
    for (const auto& [known, number] : items) {
        if (number == id) return known.lock();
    }
    return nullptr;
}

DBusMenuExport::DBusMenuExport(std::string path) : path_(std::move(path)) { layout_->root.submenu = true; }

void DBusMenuExport::publish(sdbus::IConnection& connection) {
    object_ = sdbus::createObject(connection, path_);
    auto shared = layout_;
    std::weak_ptr<Ids> ids = ids_;
    object_->registerMethod("GetLayout")
        .onInterface(menuInterface)
        .withInputParamNames("parentId", "recursionDepth", "propertyNames")
        .withOutputParamNames("revision", "layout")
        .implementedAs([shared](std::int32_t parent, std::int32_t depth, const std::vector<std::string>& names) {
            std::lock_guard lock(shared->mutex);
            const Entry* entry = find(shared->root, parent);
            if (!entry) throw noSuchEntry(parent);
            return std::make_tuple(shared->revision, layout(*entry, depth, names));
        });
    object_->registerMethod("GetGroupProperties")
        .onInterface(menuInterface)
        .withInputParamNames("ids", "propertyNames")
        .withOutputParamNames("properties")
        .implementedAs([shared](const std::vector<std::int32_t>& asked, const std::vector<std::string>& names) {
            std::lock_guard lock(shared->mutex);
            std::vector<const Entry*> entries;
            collect(shared->root, entries);
            std::vector<sdbus::Struct<std::int32_t, Properties>> result;
            for (const Entry* entry : entries) {
                if (asked.empty() || std::find(asked.begin(), asked.end(), entry->id) != asked.end()) {
                    result.emplace_back(entry->id, properties(*entry, names));
                }
            }
            return result;
        });
    object_->registerMethod("GetProperty")
        .onInterface(menuInterface)
        .withInputParamNames("id", "name")
        .withOutputParamNames("value")
        .implementedAs([shared](std::int32_t id, const std::string& name) {
            std::lock_guard lock(shared->mutex);
            const Entry* entry = find(shared->root, id);
            if (!entry) throw noSuchEntry(id);
            auto all = properties(*entry, {name});
            if (all.empty()) throw sdbus::Error("org.freedesktop.DBus.Error.InvalidArgs", "No property " + name);
            return all.begin()->second;
        });
    object_->registerMethod("Event")
        .onInterface(menuInterface)
        .withInputParamNames("id", "eventId", "data", "timestamp")
        .implementedAs([ids](std::int32_t id, const std::string& event, const sdbus::Variant&, std::uint32_t) {
            post(ids, id, event);
        });
    object_->registerMethod("EventGroup")
        .onInterface(menuInterface)
        .withInputParamNames("events")
        .withOutputParamNames("idErrors")
        .implementedAs([shared, ids](const std::vector<Event>& events) {
            std::vector<std::int32_t> unknown;
            for (const auto& event : events) {
                const auto id = std::get<0>(event);
                bool known = false;
                {
                    std::lock_guard lock(shared->mutex);
                    known = find(shared->root, id) != nullptr;
                }
                if (known) {
                    post(ids, id, std::get<1>(event));
                } else {
                    unknown.push_back(id);
                }
            }
            return unknown;
        });
    // The copy is made on every pass of the main loop, so it is never older than the menu shown.
    object_->registerMethod("AboutToShow")
        .onInterface(menuInterface)
        .withInputParamNames("id")
        .withOutputParamNames("needUpdate")
        .implementedAs([](std::int32_t) { return false; });
    object_->registerMethod("AboutToShowGroup")
        .onInterface(menuInterface)
        .withInputParamNames("ids")
        .withOutputParamNames("updatesNeeded", "idErrors")
        .implementedAs([](const std::vector<std::int32_t>&) {
            return std::make_tuple(std::vector<std::int32_t>{}, std::vector<std::int32_t>{});
        });
    object_->registerProperty("Version").onInterface(menuInterface).withGetter([] { return std::uint32_t{3}; });
    object_->registerProperty("TextDirection").onInterface(menuInterface).withGetter([] { return std::string("ltr"); });
    object_->registerProperty("Status").onInterface(menuInterface).withGetter([] { return std::string("normal"); });
    object_->registerProperty("IconThemePath").onInterface(menuInterface).withGetter([] { return std::vector<std::string>{}; });
    object_->registerSignal("LayoutUpdated").onInterface(menuInterface).withParameters<std::uint32_t, std::int32_t>("revision", "parent");
    object_->registerSignal("ItemsPropertiesUpdated")
        .onInterface(menuInterface)
        .withParameters<std::vector<sdbus::Struct<std::int32_t, Properties>>,
                        std::vector<sdbus::Struct<std::int32_t, std::vector<std::string>>>>("updatedProps", "removedProps");
    object_->registerSignal("ItemActivationRequested").onInterface(menuInterface).withParameters<std::int32_t, std::uint32_t>("id", "timestamp");
    object_->finishRegistration();
}

DBusMenuExport::~DBusMenuExport() = default;

DBusMenuExport::Entry DBusMenuExport::copy(const std::shared_ptr<NSMenuItem>& item) {
    Entry entry;
    entry.id = ids_->of(item);
    entry.label = item->title();
    entry.enabled = item->isEnabled();
    entry.separator = item->isSeparatorItem();
    if (auto submenu = item->submenu()) {
        entry.submenu = true;
        for (const auto& child : submenu->items()) entry.children.push_back(copy(child));
    }
    return entry;
}

std::optional<std::uint32_t> DBusMenuExport::update(const std::shared_ptr<NSMenu>& menu) {
    std::erase_if(ids_->items, [](const auto& known) { return known.first.expired(); });
    Entry root;
    root.submenu = true;
    if (menu) {
        for (const auto& item : menu->items()) root.children.push_back(copy(item));
    }
    std::lock_guard lock(layout_->mutex);
    if (layout_->root == root) return std::nullopt;
    layout_->root = std::move(root);
    return ++layout_->revision;
}

void DBusMenuExport::layoutUpdated(std::uint32_t revision) {
    if (!object_) return;
    try {
        object_->emitSignal("LayoutUpdated").onInterface(menuInterface).withArguments(revision, std::int32_t{0});
    } catch (const sdbus::Error&) {
    }
}
