#include "AppKit/NSWindow.hpp"

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSScreen.hpp"

namespace {
bool hasTitleBar(NSWindow::StyleMask style) {
    return style.contains(NSWindow::StyleMask::titled()) && !style.contains(NSWindow::StyleMask::fullSizeContentView());
}
}  // namespace

std::shared_ptr<NSWindow> NSWindow::make(const CGRect& contentRect, StyleMask styleMask) {
    CGRect frame = contentRect;
    if (hasTitleBar(styleMask)) frame.size.height += titleBarHeight;
    auto window = std::make_shared<NSWindow>(frame, styleMask);
    window->setContentView(NSView::make());
    NSApplication::shared().addWindow(window);
    return window;
}

void NSWindow::setFrame(const CGRect& frame, bool) {
    frame_ = frame;
    placeContentView();
}

void NSWindow::setStyleMask(StyleMask styleMask) {
    styleMask_ = styleMask;
    placeContentView();
}

CGRect NSWindow::contentRect(const CGRect& frameRect) const {
    CGRect content = frameRect;
    if (hasTitleBar(styleMask_)) content.size.height = std::max<CGFloat>(0, content.size.height - titleBarHeight);
    return content;
}

CGRect NSWindow::frameRect(const CGRect& contentRect) const {
    CGRect frame = contentRect;
    if (hasTitleBar(styleMask_)) frame.size.height += titleBarHeight;
    return frame;
}

void NSWindow::setContentView(const std::shared_ptr<NSView>& view) {
    if (contentView_) {
        contentView_->window_.reset();
        contentView_->effectiveAppearanceMayHaveChanged();
    }
    contentView_ = view;
    if (!view) return;
    view->removeFromSuperview();
    view->window_ = weak_from_this();
    placeContentView();
    view->effectiveAppearanceMayHaveChanged();
}

void NSWindow::placeContentView() {
    if (!contentView_) return;
    CGRect content = contentRect(frame_);
    contentView_->setFrame(CGRect{0, 0, content.width(), content.height()});
}

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
    if (contentView_) contentView_->effectiveAppearanceMayHaveChanged();
}
