#pragma once
// A controller of one window. Its window is loaded once, on first use: loadWindow() (which keeps a
// window given at construction), then windowDidLoad().
#include <memory>

#include "AppKit/NSResponder.hpp"
#include "AppKit/NSWindow.hpp"

class NSViewController;

class NSWindowController : public NSResponder, public std::enable_shared_from_this<NSWindowController> {
public:
    explicit NSWindowController(std::shared_ptr<NSWindow> window = nullptr) : window_(std::move(window)) {}

    /// The window, loaded on first use.
    std::shared_ptr<NSWindow> window();
    void setWindow(const std::shared_ptr<NSWindow>& window);
    bool isWindowLoaded() const { return loaded_; }
    /// Makes the window when none was given; nothing by default.
    virtual void loadWindow() {}
    virtual void windowDidLoad() {}
    /// Shows the window in front and makes it key.
    void showWindow(const std::shared_ptr<void>& sender = nullptr);
    void close();

    std::shared_ptr<NSViewController> contentViewController();
    void setContentViewController(const std::shared_ptr<NSViewController>& controller);

private:
    std::shared_ptr<NSWindow> window_;
    bool loaded_ = false;
    bool loading_ = false;
};
