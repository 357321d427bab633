#pragma once
// Windows without a screen: what a window draws stays in its backing store (what a screen would
// show), the backend counts the drawings and keeps the rectangles of the last, and tests move the
// mouse, click and drag through helpers that make the events a window system would.
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "AppKit/NSEvent.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/WindowBackend.hpp"
#include "CoreGraphics/CGImage.hpp"

class HeadlessWindowBackend : public WindowBackend {
public:
    std::string name() const override { return "headless"; }
    void show(NSWindow& window) override;
    void hide(NSWindow& window) override;
    void update(NSWindow&) override {}
    void display(NSWindow& window, const DirtyRegion& region) override;

    /// What the window showed at its last display; nullptr when it has not been displayed.
    std::shared_ptr<CGImage> displayedImage(const NSWindow& window) const;
    /// How often the window has been displayed.
    int displayCount(const NSWindow& window) const;
    /// The rectangles (window coordinates) drawn at the window's last display.
    std::vector<CGRect> lastDrawnRects(const NSWindow& window) const;
    /// Draws the window now and writes it as PNG; false when it cannot be written.
    static bool writePNG(NSWindow& window, const std::filesystem::path& path);

    /// A mouse event at a point of the window (window coordinates).
    static NSEvent mouseEvent(NSWindow& window, NSEvent::EventType type, CGPoint location);
    static void moveMouse(NSWindow& window, CGPoint to);
    static void click(NSWindow& window, CGPoint at);
    /// Presses at `from` (window coordinates), moves the pointer by `by` on the screen in `steps`
    /// moves and releases, as a person dragging would; a window that moves along keeps the
    /// pointer's place on it.
    static void drag(NSWindow& window, CGPoint from, CGSize by, int steps = 4);

private:
    struct Shown {
        std::weak_ptr<NSWindow> window;
        std::vector<CGRect> rects;
        int count = 0;
    };
    std::map<const NSWindow*, Shown> shown_;
};
