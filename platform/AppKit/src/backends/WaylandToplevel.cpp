#include "WaylandToplevel.hpp"

#include <wayland-client.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "AppKit/DirtyRegion.hpp"
#include "AppKit/NSWindow.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "WaylandConnection.hpp"
#include "WaylandShm.hpp"
#include "WaylandShmPresenter.hpp"
#include "xdg-shell-client-protocol.h"

namespace {

// How long the compositor may take to name the output of a window it shows blank: weston and sway
// name it within milliseconds.
constexpr double veilPatience = 1;

void capabilities(void*, xdg_toplevel*, wl_array*) {}

}  // namespace

WaylandToplevel::WaylandToplevel(const WaylandConnection& connection, std::shared_ptr<WaylandShm> shm, NSWindow& window, int scale,
                                 const std::string& appID)
    : shm_(std::move(shm)), shell_(connection.shell()), window_(window.weak_from_this()), scale_(scale), appID_(appID) {
    surface_ = wl_compositor_create_surface(connection.compositor());
    static const wl_surface_listener surfaceListener{entered, left};
    wl_surface_add_listener(surface_, &surfaceListener, this);
    pixels_ = makePixelStore(scale);
    makeToplevel(window);
}

void WaylandToplevel::makeToplevel(const NSWindow& window) {
    role_ = xdg_wm_base_get_xdg_surface(shell_, surface_);
    static const xdg_surface_listener roleListener{configured};
    xdg_surface_add_listener(role_, &roleListener, this);
    toplevel_ = xdg_surface_get_toplevel(role_);
    static const xdg_toplevel_listener toplevelListener{suggested, closed, bounded, capabilities};
    xdg_toplevel_add_listener(toplevel_, &toplevelListener, this);
    if (!appID_.empty()) xdg_toplevel_set_app_id(toplevel_, appID_.c_str());
    title_ = window.title();
    xdg_toplevel_set_title(toplevel_, title_.c_str());
    configured_ = placed_ = activated_ = moved_ = false;
    size_ = CGSize{};
    update(window);
    // The compositor configures the surface in answer to its first commit, which has no buffer.
    wl_surface_commit(surface_);
}

WaylandToplevel::~WaylandToplevel() {
    // The window lets go of the buffers, which go before the surface they were shown on.
    if (auto window = window_.lock()) pixels_->release(*window);
    pixels_.reset();
    veil_.reset();
    if (frame_) wl_callback_destroy(frame_);
    xdg_toplevel_destroy(toplevel_);
    xdg_surface_destroy(role_);
    wl_surface_destroy(surface_);
}

std::unique_ptr<PixelStore> WaylandToplevel::makePixelStore(int scale) const {
    return std::make_unique<PixelStore>(std::make_unique<WaylandShmPresenter>(shm_, surface_, scale));
}

void WaylandToplevel::update(const NSWindow& window) {
    if (window.title() != title_) {
        title_ = window.title();
        xdg_toplevel_set_title(toplevel_, title_.c_str());
    }
    // The compositor neither resizes nor maximizes the window: its size is the window's frame.
    if (window.frame().size != size_) {
        auto size = window.frame().size;
        if (size.width < size_.width || size.height < size_.height) {
            // Outputs the smaller window leaves until the compositor shows it so still size it.
            outputs_.setShrinking(true);
            if (frame_) wl_callback_destroy(std::exchange(frame_, nullptr));
        }
        size_ = size;
        int width = std::max(1, int(std::lround(size_.width))), height = std::max(1, int(std::lround(size_.height)));
        xdg_toplevel_set_min_size(toplevel_, width, height);
        xdg_toplevel_set_max_size(toplevel_, width, height);
        grew();
    }
}

void WaylandToplevel::grew() {
    if (!placed_ || size_.height <= placedHeight_) return;
    if (veiled_ || !seen_ || (activated_ && !moved_)) remap_ = true;
}

void WaylandToplevel::minimize() { xdg_toplevel_set_minimized(toplevel_); }

void WaylandToplevel::move(wl_seat* seat, std::uint32_t serial) {
    // Where the user puts the window is kept.
    moved_ = true;
    xdg_toplevel_move(toplevel_, seat, serial);
}

void WaylandToplevel::rescale(NSWindow& window, int scale) {
    pixels_->release(window);
    scale_ = scale;
    pixels_ = makePixelStore(scale);
    window.setViewsNeedDisplay(true);
}

void WaylandToplevel::display(NSWindow& window, const DirtyRegion& region) {
    // Drawn at the height it grew to, the window is shown anew, at that height.
    if (std::exchange(remap_, false)) return remap(window);
    // Until the compositor has configured the surface it takes no buffer; the window is drawn
    // whole once it has.
    if (configured_ && !veiled_) show(window, region);
}

void WaylandToplevel::show(NSWindow& window, const DirtyRegion& region) {
    // The compositor is done with the window's smaller size once it has shown it.
    if (outputs_.shrinking() && !frame_) {
        frame_ = wl_surface_frame(surface_);
        static const wl_callback_listener frameListener{framed};
        wl_callback_add_listener(frame_, &frameListener, this);
    }
    pixels_->show(window, region);
    if (!std::exchange(placed_, true)) placedHeight_ = window.frame().height();
    seen_ = true;
    veil_.reset();
}

void WaylandToplevel::veil() {
    int width = std::max(1, int(std::lround(size_.width))), height = std::max(1, int(std::lround(size_.height)));
    veil_ = shm_->makeClearBuffer(width * scale_, height * scale_);
    if (!veil_) return;
    wl_surface_set_buffer_scale(surface_, scale_);
    wl_surface_attach(surface_, veil_->buffer(), 0, 0);
    wl_surface_damage(surface_, 0, 0, width, height);
    wl_surface_commit(surface_);
    veil_->committed();
    shm_->flush();
    veiled_ = placed_ = true;
    placedHeight_ = size_.height;
    // A compositor that has not named the output by then names none: the window is shown as it is.
    DispatchQueue::main().asyncAfter(veilPatience, [this, alive = std::weak_ptr<int>(lifetime_), veil = ++veils_] {
        if (alive.lock() && veil == veils_) unveil();
    });
}

void WaylandToplevel::unveil() {
    if (!std::exchange(veiled_, false)) return;
    if (auto window = this->window()) window->setViewsNeedDisplay(true);
}

void WaylandToplevel::remap(const NSWindow& window) {
    // A null buffer takes the surface off the screen; a toplevel made anew for it is configured
    // and placed as a new one.
    wl_surface_attach(surface_, nullptr, 0, 0);
    wl_surface_commit(surface_);
    veil_.reset();
    xdg_toplevel_destroy(toplevel_);
    xdg_surface_destroy(role_);
    makeToplevel(window);
}

void WaylandToplevel::framed(void* data, wl_callback* callback, std::uint32_t) {
    auto* self = static_cast<WaylandToplevel*>(data);
    wl_callback_destroy(callback);
    self->frame_ = nullptr;
    self->outputs_.setShrinking(false);
}

void WaylandToplevel::configured(void* data, xdg_surface* role, std::uint32_t serial) {
    auto* self = static_cast<WaylandToplevel*>(data);
    xdg_surface_ack_configure(role, serial);
    // The compositor takes what it asked for as done at the next commit, and may wait for it
    // before it shows the window so (sway, up to its transactions' 200 ms): one goes now.
    if (std::exchange(self->configured_, true)) {
        if (self->placed_) wl_surface_commit(self->surface_);
        return;
    }
    auto window = self->window();
    if (!window) return;
    // Where the output decides the window's height and nothing tells it yet, the compositor places
    // a blank window and names its output; else the window is drawn whole at the size it has now
    // (bounds given with this configure may have changed it since it was last drawn).
    if (!self->outputs_.everEntered() && !self->bounds_ && self->heightAwaitsOutput && self->heightAwaitsOutput(*window)) {
        self->veil();
        if (self->veiled_) return;
    }
    window->setViewsNeedDisplay(true);
}

void WaylandToplevel::suggested(void* data, xdg_toplevel*, std::int32_t, std::int32_t, wl_array* states) {
    // The compositor's suggested size goes unheeded: the window keeps the size the platform gives it.
    auto* self = static_cast<WaylandToplevel*>(data);
    self->activated_ = false;
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
        if (static_cast<const std::uint32_t*>(states->data)[i] == XDG_TOPLEVEL_STATE_ACTIVATED) self->activated_ = true;
    }
}

void WaylandToplevel::entered(void* data, wl_surface*, wl_output* output) {
    auto* self = static_cast<WaylandToplevel*>(data);
    bool first = !self->outputs_.everEntered();
    self->outputs_.entered(output);
    if (self->placeChanged) self->placeChanged();
    // The compositor placed the window for the height it had before it knew its output (that of
    // the smallest), and keeps its top edge where it is as it grows: taller now, it is placed anew.
    if (first && self->placed_ && self->size_.height > self->placedHeight_) self->remap_ = true;
    self->unveil();
}

void WaylandToplevel::left(void* data, wl_surface*, wl_output* output) {
    auto* self = static_cast<WaylandToplevel*>(data);
    self->outputs_.left(output);
    if (self->placeChanged) self->placeChanged();
}

void WaylandToplevel::forget(wl_output* output) { outputs_.forget(output); }

void WaylandToplevel::closed(void* data, xdg_toplevel*) {
    // Closing the window takes this object away: nothing of it is used after.
    if (auto window = static_cast<WaylandToplevel*>(data)->window()) window->performClose(nullptr);
}

void WaylandToplevel::bounded(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height) {
    auto* self = static_cast<WaylandToplevel*>(data);
    // Nought: the compositor knows no bounds.
    std::optional<CGSize> bounds;
    if (width > 0 && height > 0) bounds = CGSize{CGFloat(width), CGFloat(height)};
    if (bounds == self->bounds_) return;
    self->bounds_ = bounds;
    if (self->placeChanged) self->placeChanged();
}
