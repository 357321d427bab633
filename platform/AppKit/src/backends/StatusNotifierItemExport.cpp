#include "backends/StatusNotifierItemExport.hpp"

#include <algorithm>
#include <cctype>
#include <optional>
#include <tuple>

#include "AppKit/ViewRenderer.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/backends/BusService.hpp"
#include "Foundation/backends/DBusConnection.hpp"

namespace {

constexpr const char* itemInterface = "org.kde.StatusNotifierItem";
// Pixel heights of the pictures handed to the tray: the bar's thickness at one and two pixels a
// point; the tray scales the nearest one to its own size.
constexpr CGFloat scales[] = {1, 2};

using Pixmap = StatusNotifierItemExport::Pixmap;
using PixmapData = sdbus::Struct<std::int32_t, std::int32_t, std::vector<std::uint8_t>>;
using ToolTip = sdbus::Struct<std::string, std::vector<PixmapData>, std::string, std::string>;

std::string applicationName() {
    if (const auto* name = Bundle::main()->objectForInfoDictionaryKey("CFBundleName")) {
        if (auto text = name->stringValue(); text && !text->empty()) return *text;
    }
    return ProcessInfo::processInfo().processName();
}

bool isDark(const std::shared_ptr<NSAppearance>& appearance) {
    if (!appearance) return false;
    std::string name = appearance->name();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.find("dark") != std::string::npos;
}

// The bitmap's pixels as the tray reads them; a template image takes the bar's text colour.
Pixmap pixmap(const CGImage& image, std::optional<std::uint8_t> tint) {
    Pixmap result{static_cast<std::int32_t>(image.width()), static_cast<std::int32_t>(image.height()), {}};
    result.argb.reserve(image.width() * image.height() * 4);
    for (std::size_t y = 0; y < image.height(); ++y) {
        for (std::size_t x = 0; x < image.width(); ++x) {
            auto [r, g, b, a] = image.pixel(x, y);
            auto straight = [a = a](std::uint8_t c) { return a ? static_cast<std::uint8_t>((c * 255 + a / 2) / a) : std::uint8_t{0}; };
            std::uint8_t red = tint ? *tint : straight(r), green = tint ? *tint : straight(g), blue = tint ? *tint : straight(b);
            result.argb.insert(result.argb.end(), {a, red, green, blue});
        }
    }
    return result;
}

std::vector<PixmapData> wire(const std::vector<Pixmap>& pixmaps) {
    std::vector<PixmapData> data;
    for (const auto& p : pixmaps) data.emplace_back(p.width, p.height, p.argb);
    return data;
}

// The width the bar gives the item's content: its length, or what the content asks for.
CGFloat barWidth(NSStatusItem& item, NSView& content) {
    const CGFloat thickness = NSStatusBar::system().thickness();
    if (item.length() >= 0) return item.length();
    if (item.length() == NSSquareStatusItemLength) return thickness;
    for (const auto& constraint : content.constraints()) {
        if (constraint->isActive() && constraint->firstItem().get() == &content &&
            constraint->firstAttribute() == NSLayoutAttribute::width && !constraint->secondItem()) {
            return constraint->constant();
        }
    }
    CGFloat width = 0;
    if (auto* button = dynamic_cast<NSButton*>(&content); button && (button->image() || !button->title().empty())) {
        width = button->fittingSize().width;
    }
    for (const auto& view : content.subviews()) width = std::max(width, view->frame().maxX());
    return width;
}

}  // namespace

StatusNotifierItemExport::StatusNotifierItemExport(std::string busName, std::string id,
                                                   const std::shared_ptr<NSStatusItem>& item)
    : busName_(std::move(busName)), id_(std::move(id)), item_(item), menu_(std::string(path) + "/Menu") {}

void StatusNotifierItemExport::publish(std::function<void()> named) {
    connection_ = DBusConnection::separate(DBusConnection::Bus::session);
    if (!connection_) return;
    try {
        menu_.publish(*connection_);
        object_ = sdbus::createObject(*connection_, path);
    } catch (const sdbus::Error&) {
        return;
    }
    auto shared = shared_;
    auto read = [shared](auto member) {
        return [shared, member] {
            std::lock_guard lock(shared->mutex);
            return shared->look.*member;
        };
    };
    object_->registerProperty("Category").onInterface(itemInterface).withGetter([] { return std::string("ApplicationStatus"); });
    object_->registerProperty("Id").onInterface(itemInterface).withGetter([id = id_] { return id; });
    object_->registerProperty("Title").onInterface(itemInterface).withGetter(read(&Look::title));
    object_->registerProperty("Status").onInterface(itemInterface).withGetter(read(&Look::status));
    object_->registerProperty("ItemIsMenu").onInterface(itemInterface).withGetter(read(&Look::itemIsMenu));
    object_->registerProperty("WindowId").onInterface(itemInterface).withGetter([] { return std::int32_t{0}; });
    // The item is drawn by the application: it names no icons of the desktop's theme.
    for (const char* name : {"IconName", "IconThemePath", "OverlayIconName", "AttentionIconName", "AttentionMovieName"}) {
        object_->registerProperty(name).onInterface(itemInterface).withGetter([] { return std::string(); });
    }
    for (const char* name : {"OverlayIconPixmap", "AttentionIconPixmap"}) {
        object_->registerProperty(name).onInterface(itemInterface).withGetter([] { return std::vector<PixmapData>{}; });
    }
    object_->registerProperty("IconPixmap").onInterface(itemInterface).withGetter([shared] {
        std::lock_guard lock(shared->mutex);
        return wire(shared->look.icon);
    });
    object_->registerProperty("ToolTip").onInterface(itemInterface).withGetter([shared] {
        std::lock_guard lock(shared->mutex);
        return ToolTip(std::string(), std::vector<PixmapData>{}, shared->look.title, std::string());
    });
    object_->registerProperty("Menu").onInterface(itemInterface).withGetter([menu = menu_.path()] { return sdbus::ObjectPath(menu); });

    // A click on the item in the tray is a click on its button.
    object_->registerMethod("Activate")
        .onInterface(itemInterface)
        .withInputParamNames("x", "y")
        .implementedAs([weak = item_](std::int32_t, std::int32_t) {
            DispatchQueue::main().async([weak] {
                auto item = weak.lock();
                if (auto button = item ? item->button() : nullptr; button && button->hasAction()) button->sendAction();
            });
        });
    // The tray opens the menu itself; other clicks and the wheel mean nothing to a status item.
    object_->registerMethod("ContextMenu").onInterface(itemInterface).withInputParamNames("x", "y").implementedAs([](std::int32_t, std::int32_t) {});
    object_->registerMethod("SecondaryActivate").onInterface(itemInterface).withInputParamNames("x", "y").implementedAs([](std::int32_t, std::int32_t) {});
    object_->registerMethod("Scroll").onInterface(itemInterface).withInputParamNames("delta", "orientation").implementedAs([](std::int32_t, const std::string&) {});
    for (const char* signal : {"NewTitle", "NewIcon", "NewToolTip", "NewAttentionIcon", "NewOverlayIcon"}) {
        object_->registerSignal(signal).onInterface(itemInterface);
    }
    object_->registerSignal("NewStatus").onInterface(itemInterface).withParameters<std::string>("status");
    BusService::sendOn(*connection_, [&] {
        try {
            object_->finishRegistration();
            daemon_ = sdbus::createProxy(*connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus");
            constexpr std::uint32_t doNotQueue = 4, primaryOwner = 1, alreadyOwner = 4;
            daemon_->callMethodAsync("RequestName")
                .onInterface("org.freedesktop.DBus")
                .withArguments(busName_, doNotQueue)
                .uponReplyInvoke([named = std::move(named)](const sdbus::Error* error, std::uint32_t result) {
                    if (!error && (result == primaryOwner || result == alreadyOwner) && named) named();
                });
        } catch (const sdbus::Error&) {
        }
    });
}

StatusNotifierItemExport::~StatusNotifierItemExport() = default;

std::vector<Pixmap> StatusNotifierItemExport::iconOf(NSStatusItem& item) {
    auto button = item.button();
    const bool dark = button && isDark(button->effectiveAppearance());
    if (auto image = button ? button->image() : nullptr) {
        drawnContent_.reset();
        if (drawnImage_.lock() == image && drawnDark_ == dark) {
            std::lock_guard lock(shared_->mutex);
            return shared_->look.icon;
        }
        drawnImage_ = image;
        drawnDark_ = dark;
        std::vector<Pixmap> icon;
        if (image->size().height <= 0 || !image->isValid()) return icon;
        std::optional<std::uint8_t> tint;
        if (image->isTemplate()) tint = dark ? 255 : 0;
        for (CGFloat scale : scales) {
            const CGFloat pixels = NSStatusBar::system().thickness() * scale;
            CGImage bitmap(image->renderedSurface(pixels / image->size().height));
            icon.push_back(pixmap(bitmap, tint));
        }
        return icon;
    }
    drawnImage_.reset();
    // Without an image the item shows its content as the bar would draw it: the title or views.
    std::shared_ptr<NSView> content = button ? std::static_pointer_cast<NSView>(button) : item.view();
    if (!content) return {};
    const CGFloat width = barWidth(item, *content);
    if (width <= 0) return {};
    content->setFrameSize({width, NSStatusBar::system().thickness()});
    content->layoutSubtreeIfNeeded();
    // Drawn again only when the content changed: this runs on every pass of the main loop.
    const bool changed = ViewRenderer::takeChanges(*content);
    if (drawnContent_.lock() == content && !changed) {
        std::lock_guard lock(shared_->mutex);
        return shared_->look.icon;
    }
    drawnContent_ = content;
    std::vector<Pixmap> icon;
    for (CGFloat scale : scales) {
        if (auto bitmap = ViewRenderer::image(*content, scale)) icon.push_back(pixmap(*bitmap, std::nullopt));
    }
    return icon;
}

StatusNotifierItemExport::Look StatusNotifierItemExport::lookOf(NSStatusItem& item) {
    Look look;
    auto button = item.button();
    look.title = button && !button->title().empty() ? button->title() : applicationName();
    look.status = item.isVisible() ? "Active" : "Passive";
    look.itemIsMenu = item.menu() && !(button && button->hasAction());
    look.icon = iconOf(item);
    return look;
}

StatusNotifierItemExport::Changes StatusNotifierItemExport::update() {
    Changes changes;
    auto item = item_.lock();
    if (!item) return changes;
    Look look = lookOf(*item);
    {
        std::lock_guard lock(shared_->mutex);
        auto& shown = shared_->look;
        changes.title = look.title != shown.title;
        changes.icon = look.icon != shown.icon;
        if (look.status != shown.status) changes.status = look.status;
        if (changes.title || changes.icon || changes.status || look.itemIsMenu != shown.itemIsMenu) shown = std::move(look);
    }
    changes.menuRevision = menu_.update(item->menu());
    return changes;
}

void StatusNotifierItemExport::tell(const Changes& changes) {
    if (!object_) return;
    BusService::sendOn(*connection_, [&] {
        try {
            if (changes.title) {
                object_->emitSignal("NewTitle").onInterface(itemInterface);
                object_->emitSignal("NewToolTip").onInterface(itemInterface);
            }
            if (changes.icon) object_->emitSignal("NewIcon").onInterface(itemInterface);
            if (changes.status) object_->emitSignal("NewStatus").onInterface(itemInterface).withArguments(*changes.status);
        } catch (const sdbus::Error&) {
        }
        if (changes.menuRevision) menu_.layoutUpdated(*changes.menuRevision);
    });
}
