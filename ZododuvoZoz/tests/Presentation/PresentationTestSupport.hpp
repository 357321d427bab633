#pragma once
// Helpers of the presentation tests: a fixture that restores the seams the views read, events,
// pixels of renders, and a wait for work that ends on the main queue.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/RunLoop.hpp"
#include "RenderTestSupport.hpp"
#include "Testing/TestEnvironment.hpp"

namespace presentation_tests {

/// Virtual time, and every seam the views read put back afterwards. URLs opened through the
/// workspace are recorded instead.
class PresentationTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        NSWorkspace::shared().setURLOpener([this](const URL& url) {
            opened.push_back(url.absoluteString());
            return true;
        });
    }
    void TearDown() override {
        NSApplication::shared().reset();
        NSWorkspace::shared().setURLOpener(nullptr);
        RenderTesting::resetScreenAndAppearance();
        VirtualTimeTest::TearDown();
    }

    static void useAppearance(const std::string& name) { NSApplication::shared().setAppearance(NSAppearance::named(name)); }
    /// A borderless window on screen (and key) whose content view is `content`, laid out.
    static std::shared_ptr<NSWindow> windowWith(const std::shared_ptr<NSView>& content) {
        auto window = NSWindow::make(CGRect{{0, 0}, content->frame().size}, NSWindow::StyleMask::borderless());
        window->setContentView(content);
        window->makeKeyAndOrderFront();
        window->layoutIfNeeded();
        return window;
    }
    /// Runs the main loop until the condition holds (a few seconds at most).
    static bool waitFor(const std::function<bool()>& condition) { return RunLoop::main().runUntil(condition, 10.0); }

    std::vector<std::string> opened;
};

inline NSEvent mouseEvent(NSEvent::EventType type, CGPoint location = {}) {
    NSEvent event;
    event.type = type;
    event.locationInWindow = location;
    return event;
}
inline NSEvent click(CGPoint location = {}) { return mouseEvent(NSEvent::EventType::leftMouseDown, location); }
inline NSEvent entered() { return mouseEvent(NSEvent::EventType::mouseEntered); }
inline NSEvent exited() { return mouseEvent(NSEvent::EventType::mouseExited); }

/// Whether two rectangles agree to a millionth of a point.
inline bool sameRect(const CGRect& a, const CGRect& b) {
    return std::abs(a.minX() - b.minX()) < 1e-6 && std::abs(a.minY() - b.minY()) < 1e-6 &&
           std::abs(a.width() - b.width()) < 1e-6 && std::abs(a.height() - b.height()) < 1e-6;
}

/// A text field made in code set up as a label: no bezel, background or editing.
inline void asLabel(NSTextField& field) {
    field.setBezeled(false);
    field.setDrawsBackground(false);
    field.setEditable(false);
}

using RenderTesting::near;
using RenderTesting::opaque;
using RenderTesting::Pixel;
using RenderTesting::pixelAt;
using RenderTesting::rgb;

}  // namespace presentation_tests
