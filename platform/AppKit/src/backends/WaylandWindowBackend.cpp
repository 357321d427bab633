#include "WaylandWindowBackend.hpp"

#include <wayland-client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/backends/GtkSettings.hpp"
#include "Foundation/Bundle.hpp"
#include "WaylandConnection.hpp"
#include "WaylandKeyboard.hpp"
#include "WaylandPointer.hpp"
#include "WaylandScreen.hpp"
#include "WaylandShm.hpp"
#include "WaylandToplevel.hpp"
#include "WaylandWaiter.hpp"

std::shared_ptr<WaylandWindowBackend> WaylandWindowBackend::make(std::string& why) {
    auto connection = WaylandConnection::connect(why);
    if (!connection) return nullptr;
    std::shared_ptr<WaylandWindowBackend> backend(new WaylandWindowBackend());
    const char* name = std::getenv("WAYLAND_DISPLAY");
    backend->displayName_ = name && *name ? name : "wayland-0";
    backend->dragThreshold_ = GtkSettings::dragThreshold().value_or(defaultDragThreshold);
    backend->connection_ = std::move(connection);
    backend->shm_ = std::make_shared<WaylandShm>(backend->connection_->display(), backend->connection_->shm());
    auto* self = backend.get();
    backend->connection_->outputsChanged = [self] { self->screenChanged(); };
    backend->connection_->outputWithdrawn = [self](wl_output* output) {
        for (const auto& [window, toplevel] : self->windows_) toplevel->forget(output);
    };
    backend->connection_->seatChanged = [self](std::uint32_t capabilities) { self->seatChanged(capabilities); };
    // The seat's devices and the outputs' modes and scales come in answer to binding them.
    if (!backend->connection_->roundtrip(why)) return nullptr;
    backend->screenChanged();
    std::fprintf(stderr, "Windows are shown on the Wayland display %s, in memory shared with the compositor.\n",
                 backend->displayName_.c_str());
    return backend;
}

WaylandWindowBackend::~WaylandWindowBackend() { shutdown(); }

void WaylandWindowBackend::shutdown() {
    windows_.clear();
    pointer_.reset();
    keyboard_.reset();
    shm_.reset();
    if (connection_) wl_display_flush(connection_->display());
    connection_.reset();
}

std::shared_ptr<RunLoop::Waiter> WaylandWindowBackend::waiter() {
    if (!waiter_) waiter_ = std::make_shared<WaylandWaiter>(std::weak_ptr<WaylandWaiter::Events>(weak_from_this()));
    return waiter_;
}

wl_display* WaylandWindowBackend::displayToRead() const { return connection_ ? connection_->display() : nullptr; }

WaylandToplevel* WaylandWindowBackend::toplevel(wl_surface* surface) const {
    for (const auto& [window, toplevel] : windows_) {
        if (surface && toplevel->surface() == surface) return toplevel.get();
    }
    return nullptr;
}

WaylandToplevel* WaylandWindowBackend::toplevel(const NSWindow& window) const {
    auto it = windows_.find(&window);
    return it == windows_.end() ? nullptr : it->second.get();
}

bool WaylandWindowBackend::moveWithPointer(NSWindow& window, CGPoint) {
    auto* shown = toplevel(window);
    return shown && pointer_ && pointer_->moveWindow(*shown);
}

void WaylandWindowBackend::show(NSWindow& window) {
    if (!connection_) return;
    auto& toplevel = windows_[&window];
    if (!toplevel) {
        // The desktop finds the application's entry, and so its icon, by the app id.
        auto identifier = Bundle::main()->bundleIdentifier();
        toplevel = std::make_unique<WaylandToplevel>(*connection_, shm_, window, scale_, identifier.value_or(""));
        toplevel->placeChanged = [this] { screenChanged(); };
        toplevel->heightAwaitsOutput = [this](const NSWindow& shown) {
            return WaylandScreen::mayGrowOnAnOutput(connection_->outputs(), shown);
        };
    }
    // The window draws itself whole on the loop's next pass.
    window.setViewsNeedDisplay(true);
}

void WaylandWindowBackend::hide(NSWindow& window) {
    auto it = windows_.find(&window);
    if (it == windows_.end()) return;
    if (pointer_) pointer_->forget(it->second->surface());
    if (keyboard_) keyboard_->forget(it->second->surface());
    windows_.erase(it);
    screenChanged();
}

void WaylandWindowBackend::update(NSWindow& window) {
    if (auto* shown = toplevel(window)) shown->update(window);
}

void WaylandWindowBackend::miniaturize(NSWindow& window) {
    if (auto* shown = toplevel(window)) shown->minimize();
}

void WaylandWindowBackend::display(NSWindow& window, const DirtyRegion& region) {
    if (auto* shown = toplevel(window)) shown->display(window, region);
}

std::shared_ptr<CGContext> WaylandWindowBackend::makeBackingStore(NSWindow& window, std::size_t width, std::size_t height) {
    auto* shown = toplevel(window);
    return shown ? shown->pixels().makeBackingStore(width, height) : nullptr;
}

std::shared_ptr<CGContext> WaylandWindowBackend::nextBackingStore(NSWindow& window) {
    auto* shown = toplevel(window);
    return shown ? shown->pixels().nextBackingStore() : nullptr;
}

void WaylandWindowBackend::screenChanged() {
    if (!connection_) return;
    std::set<wl_output*> entered, homes;
    std::optional<CGSize> bounds;
    std::vector<std::shared_ptr<NSWindow>> shown;
    for (const auto& [window, toplevel] : windows_) {
        entered.insert(toplevel->outputs().begin(), toplevel->outputs().end());
        auto sizing = toplevel->sizingOutputs();
        homes.insert(sizing.begin(), sizing.end());
        if (!bounds) bounds = toplevel->bounds();
        if (auto owner = toplevel->window()) shown.push_back(owner);
    }
    auto screen = WaylandScreen::make(connection_->outputs(), entered, homes, bounds);
    if (!WaylandScreen::setMain(screen, shown)) return;
    int scale = int(screen->backingScaleFactor());
    if (std::exchange(scale_, scale) == scale) return;
    for (const auto& [window, toplevel] : windows_) {
        if (auto owner = toplevel->window()) toplevel->rescale(*owner, scale);
    }
}

void WaylandWindowBackend::seatChanged(std::uint32_t capabilities) {
    wl_seat* seat = connection_->seat();
    if (!(capabilities & WL_SEAT_CAPABILITY_POINTER)) {
        pointer_.reset();
    } else if (!pointer_) {
        pointer_ = std::make_unique<WaylandPointer>(*connection_, *this, wl_seat_get_pointer(seat));
    }
    if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD)) {
        keyboard_.reset();
    } else if (!keyboard_) {
        keyboard_ = std::make_unique<WaylandKeyboard>(*this, wl_seat_get_keyboard(seat));
    }
}

std::optional<double> WaylandWindowBackend::untilKeyRepeat() const { return keyboard_ ? keyboard_->untilRepeat() : std::nullopt; }

void WaylandWindowBackend::afterEvents() {
    if (keyboard_) keyboard_->repeatIfDue();
    int error = connection_ && !displayLost_ ? wl_display_get_error(connection_->display()) : 0;
    if (!error) return;
    displayLost_ = true;
    std::fprintf(stderr, "The display %s (WAYLAND_DISPLAY) was lost: %s.\n", displayName_.c_str(), std::strerror(error));
    NSApplication::shared().terminate(nullptr);
}
