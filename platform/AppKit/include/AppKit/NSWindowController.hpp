#pragma once
// A controller of one window.
#include <memory>

#include "AppKit/NSResponder.hpp"
#include "AppKit/NSWindow.hpp"

class NSWindowController : public NSResponder, public std::enable_shared_from_this<NSWindowController> {
public:
    explicit NSWindowController(std::shared_ptr<NSWindow> window = nullptr) : window_(std::move(window)) {}

    std::shared_ptr<NSWindow> window() const { return window_; }
    void setWindow(const std::shared_ptr<NSWindow>& window) { window_ = window; }

private:
    std::shared_ptr<NSWindow> window_;
};
