#include "AppKit/NSViewController.hpp"

#include "AppKit/NSWindowController.hpp"

std::shared_ptr<NSView> NSViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) view_ = NSView::make();
        viewDidLoad();
    }
    return view_;
}

std::shared_ptr<NSWindow> NSWindowController::window() {
    if (!loaded_ && !loading_) {
        loading_ = true;
        if (!window_) loadWindow();
        if (window_) window_->windowController_ = weak_from_this();
        loaded_ = true;
        loading_ = false;
        windowDidLoad();
    }
    return window_;
}

void NSWindowController::setWindow(const std::shared_ptr<NSWindow>& window) {
    if (window_ && window_ != window) window_->windowController_.reset();
    window_ = window;
    if (window_ && loaded_) window_->windowController_ = weak_from_this();
}

void NSWindowController::showWindow(const std::shared_ptr<void>& sender) {
    if (auto w = window()) w->makeKeyAndOrderFront(sender);
}

void NSWindowController::close() {
    if (auto w = window()) w->close();
}

std::shared_ptr<NSViewController> NSWindowController::contentViewController() {
    auto w = window();
    return w ? w->contentViewController() : nullptr;
}

void NSWindowController::setContentViewController(const std::shared_ptr<NSViewController>& controller) {
    if (auto w = window()) w->setContentViewController(controller);
}
