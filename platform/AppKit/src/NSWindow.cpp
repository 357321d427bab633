#include "AppKit/NSWindow.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSCursor.hpp"
#include "AppKit/NSMenu.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSToolbar.hpp"
#include "AppKit/NSViewController.hpp"
#include "AppKit/NSWindowController.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "AppKit/WindowBackend.hpp"
#include "WindowFrameView.hpp"

std::shared_ptr<NSWindow> NSWindow::make(const CGRect& contentRect, StyleMask styleMask) {
    auto window = std::make_shared<NSWindow>(contentRect, styleMask);
    install(window, contentRect);
    return window;
}

void NSWindow::install(const std::shared_ptr<NSWindow>& window, const CGRect& contentRect) {
    window->frame_ = window->frameRect(contentRect);
    window->frameView_ = std::make_shared<WindowFrameView>(window.get());
    window->frameView_->build();
    window->frameView_->window_ = window;
    window->setContentView(NSView::make());
    NSApplication::shared().addWindow(window);
}

std::shared_ptr<NSWindow> NSWindow::make(const std::shared_ptr<NSViewController>& controller) {
    CGSize size = controller ? controller->view()->frame().size : CGSize{};
    auto window = make(CGRect{{0, 0}, size}, StyleMask::titled() | StyleMask::closable() | StyleMask::miniaturizable() |
                                                 StyleMask::resizable());
    if (controller) {
        window->setTitle(controller->title());
        window->setContentViewController(controller);
    }
    return window;
}

NSWindow::NSWindow(const CGRect& frame, StyleMask styleMask) : frame_(frame), askedSize_(frame.size), styleMask_(styleMask) {}

NSWindow::~NSWindow() {
    if (frameView_) frameView_->detach();
}

// Geometry.

void NSWindow::setFrame(const CGRect& requested, bool display, bool) {
    // A window that changes size is kept on its screen; one that only moves goes where it is put
    // (the window system may let it reach past the edges).
    if (requested.size == frame_.size) return applyFrame(requested, display);
    askedSize_ = requested.size;
    applyFrame(constrainFrameRect(requested, NSScreen::main()), display);
}

void NSWindow::fitOnScreen() {
    CGRect asked{CGPoint{frame_.minX(), frame_.maxY() - askedSize_.height}, askedSize_};
    applyFrame(constrainFrameRect(asked, NSScreen::main()), true);
}

void NSWindow::applyFrame(const CGRect& frame, bool display) {
    bool sizeChanged = frame.size != frame_.size;
    if (frame == frame_) return;
    frame_ = frame;
    placeViews();
    // A move keeps the pixels; a new size draws them all anew.
    if (display && sizeChanged) needsDisplay_ = true;
    frameChanged(sizeChanged);
}

void NSWindow::frameChanged(bool sizeChanged) {
    backendUpdate();
    if (!sizeChanged) return;
    Notification notification{NSWindowDidResizeNotification, shared_from_this(), {}};
    if (auto d = delegate()) d->windowDidResize(notification);
    NotificationCenter::defaultCenter().post(notification);
}

void NSWindow::setContentSize(CGSize size) {
    CGRect frame = frameRect(CGRect{frame_.origin, size});
    frame.origin.y = frame_.maxY() - frame.height();
    setFrame(frame);
}

void NSWindow::center() {
    auto screen = NSScreen::main();
    if (!screen) return;
    CGRect area = screen->visibleFrame();
    setFrameOrigin(CGPoint{std::round(area.midX() - frame_.width() / 2), std::round(area.midY() - frame_.height() / 2)});
}

CGRect NSWindow::constrainFrameRect(const CGRect& frameRect, const std::shared_ptr<NSScreen>& screen) const {
    if (!screen || !styleMask_.contains(StyleMask::titled())) return frameRect;
    CGRect area = screen->visibleFrame();
    CGRect frame = frameRect;
    frame.size.height = std::min(frame.height(), area.height());
    // A window made shorter keeps its top edge; then it comes up from below the area's bottom and
    // down from above its top.
    frame.origin.y = frameRect.maxY() - frame.height();
    frame.origin.y = std::max(frame.minY(), area.minY());
    frame.origin.y = std::min(frame.minY(), area.maxY() - frame.height());
    return frame;
}

CGFloat NSWindow::titleBarAndToolbarHeight() const {
    if (!styleMask_.contains(StyleMask::titled()) || styleMask_.contains(StyleMask::fullSizeContentView())) return 0;
    CGFloat height = titleBarHeight;
    if (toolbar_ && toolbar_->isVisible()) height += toolbarHeight;
    return height;
}

CGRect NSWindow::contentRect(const CGRect& frameRect) const {
    CGRect content = frameRect;
    content.size.height = std::max<CGFloat>(0, content.size.height - titleBarAndToolbarHeight());
    return content;
}

CGRect NSWindow::frameRect(const CGRect& contentRect) const {
    CGRect frame = contentRect;
    frame.size.height += titleBarAndToolbarHeight();
    return frame;
}

void NSWindow::setStyleMask(StyleMask styleMask) {
    // The frame stays; the content area grows or shrinks with the room the title bar takes.
    styleMask_ = styleMask;
    if (frameView_) {
        // A button the style no longer allows goes, as it is missing from a window made without it
        // (a button hidden on purpose stays hidden).
        frameView_->closeButton->setHidden(!styleMask.contains(StyleMask::closable()));
        if (!styleMask.contains(StyleMask::miniaturizable())) frameView_->miniaturizeButton->setHidden(true);
        if (!styleMask.contains(StyleMask::resizable())) frameView_->zoomButton->setHidden(true);
    }
    placeViews();
    needsDisplay_ = true;
    backendUpdate();
}

// Title bar.

void NSWindow::setTitle(std::string title) {
    title_ = std::move(title);
    needsDisplay_ = true;
    backendUpdate();
}

void NSWindow::setTitleVisibility(TitleVisibility visibility) {
    titleVisibility_ = visibility;
    needsDisplay_ = true;
}

void NSWindow::setTitlebarAppearsTransparent(bool transparent) {
    titlebarTransparent_ = transparent;
    placeViews();
    needsDisplay_ = true;
}

std::shared_ptr<NSView> NSWindow::standardWindowButton(ButtonType type) const {
    if (!frameView_ || !styleMask_.contains(StyleMask::titled())) return nullptr;
    switch (type) {
        case ButtonType::closeButton: return frameView_->closeButton;
        case ButtonType::miniaturizeButton: return frameView_->miniaturizeButton;
        case ButtonType::zoomButton: return frameView_->zoomButton;
    }
    return nullptr;
}

void NSWindow::setToolbar(const std::shared_ptr<NSToolbar>& toolbar) {
    CGRect content = contentRect(frame_);
    if (toolbar_) toolbar_->window_.reset();
    toolbar_ = toolbar;
    if (toolbar_) toolbar_->window_ = weak_from_this();
    CGRect frame = frameRect(content);
    frame.origin.y = frame_.maxY() - frame.height();
    bool sizeChanged = frame.size != frame_.size;
    frame_ = frame;
    if (frameView_) frameView_->showToolbar(toolbar_);
    placeViews();
    needsDisplay_ = true;
    frameChanged(sizeChanged);
}

// Content.

void NSWindow::setContentView(const std::shared_ptr<NSView>& view) {
    contentView_ = view;
    if (view) view->removeFromSuperview();
    if (frameView_) frameView_->setContent(view);
    if (view) view->effectiveAppearanceMayHaveChanged();
    needsDisplay_ = true;
}

void NSWindow::setContentViewController(const std::shared_ptr<NSViewController>& controller) {
    if (controller == contentViewController_) return;
    bool wasVisible = visible_;
    if (wasVisible && contentViewController_) contentViewController_->viewWillDisappear();
    auto old = std::exchange(contentViewController_, controller);
    if (wasVisible && old) old->viewDidDisappear();
    if (!controller) return;
    auto view = controller->view();
    CGSize size = view->frame().size;
    if (size.width > 0 && size.height > 0) setContentSize(size);
    if (wasVisible) controller->viewWillAppear();
    setContentView(view);
    if (wasVisible) controller->viewDidAppear();
}

void NSWindow::setBackgroundColor(const std::shared_ptr<NSColor>& color) {
    backgroundColor_ = color;
    needsDisplay_ = true;
}

void NSWindow::setOpaque(bool opaque) {
    opaque_ = opaque;
    needsDisplay_ = true;
}

// Ordering.

void NSWindow::setLevel(CGWindowLevel level) {
    level_ = level;
    backendUpdate();
}

bool NSWindow::isKeyWindow() const { return NSApplication::shared().keyWindow().get() == this; }

bool NSWindow::canBecomeKeyWindow() const { return styleMask_.contains(StyleMask::titled()); }

void NSWindow::makeKeyAndOrderFront(const std::shared_ptr<void>& sender) {
    orderFront(sender);
    makeKeyWindow();
}

void NSWindow::makeKeyWindow() {
    if (closed_) return;
    NSApplication::shared().windowBecameKey(shared_from_this());
    backendUpdate();
}

void NSWindow::orderFront(const std::shared_ptr<void>&) {
    if (closed_) {
        // A closed window that is shown again is one of the application's windows again.
        closed_ = false;
        NSApplication::shared().addWindow(shared_from_this());
    }
    if (visible_) {
        if (miniaturized_) deminiaturize();
        NSApplication::shared().windowBackend()->show(*this);
        return;
    }
    appear();
}

void NSWindow::appear() {
    auto self = shared_from_this();
    auto controller = contentViewController_;
    if (controller) controller->viewWillAppear();
    visible_ = true;
    needsDisplay_ = true;
    NSApplication::shared().windowDidShow(self);
    layoutIfNeeded();
    NSApplication::shared().windowBackend()->show(*this);
    if (controller) controller->viewDidAppear();
}

void NSWindow::orderOut(const std::shared_ptr<void>&) {
    if (visible_) disappear();
}

void NSWindow::disappear() {
    auto self = shared_from_this();
    auto controller = contentViewController_;
    if (controller) controller->viewWillDisappear();
    visible_ = false;
    miniaturized_ = false;
    mouseDownView_.reset();
    drag_.reset();
    NSApplication::shared().windowBackend()->hide(*this);
    NSApplication::shared().windowDidHide(*this);
    if (controller) controller->viewDidDisappear();
}

void NSWindow::close() {
    if (closed_) return;
    auto self = shared_from_this();
    closed_ = true;
    Notification notification{NSWindowWillCloseNotification, self, {}};
    if (auto d = delegate()) d->windowWillClose(notification);
    NotificationCenter::defaultCenter().post(notification);
    if (frameView_) frameView_->closeMenu();
    if (visible_) disappear();
    NSApplication::shared().windowDidClose(*this);
}

void NSWindow::performClose(const std::shared_ptr<void>&) {
    if (styleMask_.contains(StyleMask::closable())) close();
}

// Miniaturizing and zooming.

void NSWindow::miniaturize(const std::shared_ptr<void>&) {
    if (!visible_ || miniaturized_) return;
    miniaturized_ = true;
    mouseDownView_.reset();
    drag_.reset();
    NSApplication::shared().windowBackend()->miniaturize(*this);
}

void NSWindow::deminiaturize(const std::shared_ptr<void>&) {
    if (!miniaturized_) return;
    miniaturized_ = false;
    NSApplication::shared().windowBackend()->deminiaturize(*this);
}

void NSWindow::performMiniaturize(const std::shared_ptr<void>& sender) {
    if (styleMask_.contains(StyleMask::miniaturizable())) miniaturize(sender);
}

bool NSWindow::isZoomed() const {
    auto screen = NSScreen::main();
    return screen && frame_ == constrainFrameRect(screen->visibleFrame(), screen);
}

void NSWindow::zoom(const std::shared_ptr<void>&) {
    auto screen = NSScreen::main();
    if (!screen) return;
    if (isZoomed() && userFrame_) {
        setFrame(*std::exchange(userFrame_, std::nullopt), true, true);
        return;
    }
    userFrame_ = frame_;
    setFrame(screen->visibleFrame(), true, true);
}

void NSWindow::performZoom(const std::shared_ptr<void>& sender) {
    if (styleMask_.contains(StyleMask::resizable())) zoom(sender);
}

// Events.

std::shared_ptr<NSView> NSWindow::viewAt(CGPoint point) const {
    return frameView_ ? frameView_->hitTest(point) : nullptr;
}

std::shared_ptr<NSCursor> NSWindow::cursorAt(CGPoint point) const {
    for (auto view = viewAt(point); view; view = view->superview()) {
        view->discardCursorRects();
        view->resetCursorRects();
        CGPoint local = view->convert(point, nullptr);
        for (const auto& entry : view->cursorRects()) {
            if (entry.rect.contains(local)) return entry.cursor;
        }
    }
    return NSCursor::arrowCursor();
}

bool NSWindow::isDraggableAt(CGPoint point) const {
    auto hit = viewAt(point);
    if (!hit || !frameView_) return false;
    if (hit == frameView_->titleBar || hit == frameView_->toolbarBand) return true;
    if (hit->isDescendant(*frameView_->titleBar) || hit->isDescendant(*frameView_->toolbarBand)) return false;
    if (frameView_->menuPanel && (hit == frameView_->menuPanel || hit->isDescendant(*frameView_->menuPanel))) return false;
    return movableByWindowBackground_ && hit->mouseDownCanMoveWindow();
}

void NSWindow::dragWindow(CGPoint point) {
    if (drag_->byWindowSystem) return;
    CGPoint anchor = drag_->anchor;
    if (!drag_->moving) {
        // As desktop toolkits tell a drag from a click: past the threshold along either axis.
        CGFloat threshold = NSApplication::shared().windowBackend()->dragThreshold();
        if (std::abs(point.x - anchor.x) <= threshold && std::abs(point.y - anchor.y) <= threshold) return;
        drag_->moving = true;
        drag_->byWindowSystem = NSApplication::shared().windowBackend()->moveWithPointer(*this, anchor);
        if (drag_->byWindowSystem) return;
    }
    // The point pressed stays under the pointer.
    setFrameOrigin(CGPoint{frame_.minX() + point.x - anchor.x, frame_.minY() + point.y - anchor.y});
}

NSResponder* NSWindow::keyResponder() const {
    if (firstResponder_) return firstResponder_;
    // As a window shown makes its first key view the first responder: the first view of the
    // content, depth first, that takes it.
    auto first = [](auto&& self, NSView& view) -> NSResponder* {
        if (view.isHidden()) return nullptr;
        if (view.acceptsFirstResponder()) return &view;
        for (const auto& subview : view.subviews()) {
            if (auto* found = self(self, *subview)) return found;
        }
        return nullptr;
    };
    return contentView_ ? first(first, *contentView_) : nullptr;
}

bool NSWindow::makeFirstResponder(NSResponder* responder) {
    firstResponder_ = responder;
    return true;
}

NSResponder* NSWindow::nextResponder() const {
    if (auto* next = NSResponder::nextResponder()) return next;
    return windowController_.lock().get();
}

void NSWindow::sendEvent(const NSEvent& incoming) {
    if (!frameView_) return;
    auto self = shared_from_this();
    NSEvent event = incoming;
    event.window = self;
    CGPoint point = event.locationInWindow;
    switch (event.type) {
        case NSEvent::EventType::leftMouseDown: {
            if (visible_ && !isKeyWindow() && canBecomeKeyWindow()) makeKeyWindow();
            drag_.reset();
            if (isDraggableAt(point)) {
                drag_ = WindowDrag{point};
                return;
            }
            auto hit = viewAt(point);
            mouseDownView_ = hit;
            if (hit) hit->mouseDown(event);
            break;
        }
        case NSEvent::EventType::leftMouseDragged: {
            if (drag_) {
                dragWindow(point);
                return;
            }
            updateTrackingAreas(event, true);
            if (auto view = mouseDownView_) view->mouseDragged(event);
            break;
        }
        case NSEvent::EventType::leftMouseUp: {
            if (drag_) {
                drag_.reset();
                return;
            }
            auto view = std::move(mouseDownView_);
            mouseDownView_.reset();
            if (view) view->mouseUp(event);
            break;
        }
        case NSEvent::EventType::rightMouseDown:
            if (auto hit = viewAt(point)) hit->rightMouseDown(event);
            break;
        case NSEvent::EventType::rightMouseUp:
            if (auto hit = viewAt(point)) hit->rightMouseUp(event);
            break;
        case NSEvent::EventType::rightMouseDragged:
            updateTrackingAreas(event, true);
            break;
        case NSEvent::EventType::mouseMoved:
        case NSEvent::EventType::mouseEntered:
            updateTrackingAreas(event, true);
            cursorAt(point)->set();
            break;
        case NSEvent::EventType::mouseExited:
            // The pointer left the window: every area it was in hears so.
            updateTrackingAreas(event, false);
            NSCursor::arrowCursor()->set();
            break;
        case NSEvent::EventType::scrollWheel:
            if (auto hit = viewAt(point)) hit->scrollWheel(event);
            break;
        case NSEvent::EventType::keyDown:
            // Escape closes an open menu, as it closes menus on the desktop.
            if (event.keyCode == NSEvent::KeyCode::escape && frameView_->menuPanel) {
                frameView_->closeMenu();
                return;
            }
            if (auto* responder = keyResponder()) responder->keyDown(event);
            break;
        case NSEvent::EventType::keyUp:
            if (auto* responder = keyResponder()) responder->keyUp(event);
            break;
    }
}

void NSWindow::updateTrackingAreas(const NSEvent& event, bool insideWindow) {
    struct Change {
        std::shared_ptr<NSTrackingArea> area;
        std::shared_ptr<NSResponder> owner;
        NSEvent::EventType type;
    };
    std::vector<Change> changes;
    bool key = isKeyWindow();
    bool dragging = event.type == NSEvent::EventType::leftMouseDragged || event.type == NSEvent::EventType::rightMouseDragged;
    auto visit = [&](auto&& self, const std::shared_ptr<NSView>& view, bool shown) -> void {
        shown = shown && !view->isHidden();
        for (const auto& area : view->trackingAreas()) {
            auto options = area->options();
            bool active = !options.contains(NSTrackingArea::Options::activeInKeyWindow()) || key ||
                          options.contains(NSTrackingArea::Options::activeAlways());
            CGRect rect = options.contains(NSTrackingArea::Options::inVisibleRect()) ? view->bounds() : area->rect();
            bool inside = insideWindow && shown && active && rect.contains(view->convert(event.locationInWindow, nullptr));
            if (dragging && !options.contains(NSTrackingArea::Options::enabledDuringMouseDrag()) && inside != area->isInside()) {
                continue;  // the change is told once the drag is over
            }
            auto owner = area->owner();
            if (inside != area->isInside()) {
                area->setInside(inside);
                if (owner && options.contains(NSTrackingArea::Options::mouseEnteredAndExited())) {
                    changes.push_back({area, owner, inside ? NSEvent::EventType::mouseEntered : NSEvent::EventType::mouseExited});
                }
            }
            if (inside && owner && event.type == NSEvent::EventType::mouseMoved &&
                options.contains(NSTrackingArea::Options::mouseMoved())) {
                changes.push_back({area, owner, NSEvent::EventType::mouseMoved});
            }
        }
        for (const auto& subview : std::vector<std::shared_ptr<NSView>>(view->subviews())) self(self, subview, shown);
    };
    visit(visit, frameView_, true);
    for (const auto& change : changes) {
        NSEvent told = event;
        told.type = change.type;
        told.trackingNumber = change.area->userInfo();
        switch (change.type) {
            case NSEvent::EventType::mouseEntered: change.owner->mouseEntered(told); break;
            case NSEvent::EventType::mouseExited: change.owner->mouseExited(told); break;
            default: change.owner->mouseMoved(told); break;
        }
    }
}

// Layout and display.

void NSWindow::placeViews() {
    if (frameView_) frameView_->place();
}

void NSWindow::layoutIfNeeded() {
    if (!frameView_) return;
    placeViews();
    frameView_->layoutPending();
}

bool NSWindow::viewsNeedDisplay() const {
    return needsDisplay_ || !damage_.isEmpty() || (frameView_ && frameView_->displayPending_);
}

void NSWindow::display() {
    if (!isVisible()) return;
    needsDisplay_ = true;
    redraw();
}

void NSWindow::displayIfNeeded() {
    if (isVisible() && viewsNeedDisplay()) redraw();
}

void NSWindow::redraw() {
    if (!frameView_) return;
    layoutIfNeeded();
    CGRect bounds = frameView_->bounds();
    CGFloat scale = backingScaleFactor();
    auto w = static_cast<std::size_t>(std::max<CGFloat>(1, std::ceil(bounds.width() * scale)));
    auto h = static_cast<std::size_t>(std::max<CGFloat>(1, std::ceil(bounds.height() * scale)));
    auto backend = NSApplication::shared().windowBackend();
    // The window's points on the bitmap's pixels.
    auto place = [&](const std::shared_ptr<CGContext>& store) {
        store->scaleBy(scale, scale);
        store->translateBy(-bounds.minX(), -bounds.minY());
        return store;
    };
    if (!backingStore_ || backingStore_->width() != w || backingStore_->height() != h || backingStoreScale_ != scale) {
        // Made when the window's size or scale changes, and kept from one drawing to the next: in
        // the pixels the window system shows where the backend lends them, else of its own.
        backingStore_.reset();
        backingStore_ = backend->makeBackingStore(*this, w, h);
        if (!backingStore_) {
            backingStore_ = CGContext::makeBitmap(nullptr, w, h, 8, 0, CGColorSpace::deviceRGB,
                                                  CGBitmapInfo{CGImageAlphaInfo::premultipliedFirst, true});
        }
        if (!backingStore_) return;
        place(backingStore_);
        backingStoreScale_ = scale;
        needsDisplay_ = true;
    }
    DirtyRegion damage = std::exchange(damage_, DirtyRegion());
    frameView_->collectDamage(CGAffineTransform::identity(), needsDisplay_, damage);
    if (needsDisplay_) damage = DirtyRegion(bounds);
    needsDisplay_ = false;
    damage = damage.clipped(bounds, scale);
    if (damage.isEmpty()) return;
    if (auto next = backend->nextBackingStore(*this)) backingStore_ = place(next);
    ViewRenderer::drawChanged(*frameView_, *backingStore_, damage);
    backend->display(*this, damage);
}

void NSWindow::discardBackingStore() {
    backingStore_.reset();
    needsDisplay_ = true;
}

std::shared_ptr<CGImage> NSWindow::image(std::optional<CGFloat> scale) {
    if (!frameView_) return nullptr;
    layoutIfNeeded();
    return ViewRenderer::image(*frameView_, scale.value_or(backingScaleFactor()));
}

std::shared_ptr<NSView> NSWindow::frameView() const { return frameView_; }

std::shared_ptr<NSView> NSWindow::openMenu() const { return frameView_ ? frameView_->menuPanel : nullptr; }

void NSWindow::showMenu() {
    auto menu = NSApplication::shared().mainMenu();
    if (!menu || !frameView_) return;
    auto items = menu->flattenedItems();
    if (items.empty()) return;
    frameView_->openMenu(std::move(items));
}

void NSWindow::backendUpdate() {
    if (visible_) NSApplication::shared().windowBackend()->update(*this);
}

// Appearance.

void NSWindow::setAppearance(const std::shared_ptr<NSAppearance>& appearance) {
    appearance_ = appearance;
    effectiveAppearanceMayHaveChanged();
}

std::shared_ptr<NSAppearance> NSWindow::effectiveAppearance() const {
    return appearance_ ? appearance_ : NSApplication::shared().effectiveAppearance();
}

CGFloat NSWindow::backingScaleFactor() const {
    auto screen = NSScreen::main();
    return screen ? screen->backingScaleFactor() : 1.0;
}

void NSWindow::effectiveAppearanceMayHaveChanged() {
    if (frameView_) frameView_->effectiveAppearanceMayHaveChanged();
    needsDisplay_ = true;
}
