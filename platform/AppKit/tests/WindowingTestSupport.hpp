#pragma once
// A fixture that starts every test with a fresh application on the headless backend, and views
// that record what happens to them.
#include <string>
#include <vector>

#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSViewController.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKitTestSupport.hpp"

class WindowingTest : public AppKitTest {
protected:
    void SetUp() override {
        AppKitTest::SetUp();
        NSApplication::shared().reset();
        backend_ = std::make_shared<HeadlessWindowBackend>();
        NSApplication::shared().setWindowBackend(backend_);
    }
    void TearDown() override {
        NSApplication::shared().reset();
        AppKitTest::TearDown();
    }
    NSApplication& app() { return NSApplication::shared(); }

    std::shared_ptr<HeadlessWindowBackend> backend_;
};

/// A view that notes the events and drawing it gets.
class RecordingView : public NSView {
public:
    using NSView::NSView;
    std::vector<std::string> log;
    bool canMoveWindow = true;
    int draws = 0;
    int layouts = 0;

    void mouseDown(const NSEvent& e) override { note("down", e); }
    void mouseUp(const NSEvent& e) override { note("up", e); }
    void mouseDragged(const NSEvent& e) override { note("dragged", e); }
    void mouseEntered(const NSEvent& e) override { note("entered", e); }
    void mouseExited(const NSEvent& e) override { note("exited", e); }
    void mouseMoved(const NSEvent& e) override { note("moved", e); }
    bool mouseDownCanMoveWindow() const override { return canMoveWindow; }
    void draw(const CGRect&) override { ++draws; }
    void layout() override {
        ++layouts;
        NSView::layout();
    }

private:
    void note(const char* what, const NSEvent& e) {
        CGPoint p = convert(e.locationInWindow, nullptr);
        log.push_back(std::string(what) + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)));
    }
};

/// A view controller that notes its life.
class RecordingViewController : public NSViewController {
public:
    std::vector<std::string> log;
    bool hadWindowWhenAppearing = false;

    void loadView() override { setView(NSView::make(CGRect{0, 0, 240, 120})); }
    void viewDidLoad() override { log.push_back("didLoad"); }
    void viewWillAppear() override {
        hadWindowWhenAppearing = view()->window() != nullptr;
        log.push_back("willAppear");
    }
    void viewDidAppear() override { log.push_back("didAppear"); }
    void viewWillDisappear() override { log.push_back("willDisappear"); }
    void viewDidDisappear() override { log.push_back("didDisappear"); }
};

inline const NSWindow::StyleMask standardStyle = NSWindow::StyleMask::titled() | NSWindow::StyleMask::closable() |
                                                 NSWindow::StyleMask::miniaturizable() | NSWindow::StyleMask::resizable();
