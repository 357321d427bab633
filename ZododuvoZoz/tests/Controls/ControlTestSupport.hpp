#pragma once
// A fixture for the layer-drawn controls: a fresh application on the headless backend, a window to
// put a control in, and a clean main screen, appearance and cursor after each test; helpers that
// read layer colours and rendered pixels.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSCursor.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"
#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "QuartzCore/CALayer.hpp"
#include "RenderTestSupport.hpp"

namespace ZododuvoZoz::ControlTesting {

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSApplication::shared().reset();
        NSApplication::shared().setWindowBackend(std::make_shared<HeadlessWindowBackend>());
    }
    void TearDown() override {
        NSApplication::shared().reset();
        RenderTesting::resetScreenAndAppearance();
        NSAppearance::setCurrent(nullptr);
        NSCursor::arrowCursor()->set();
    }

    /// A borderless window whose content view holds the view at (20, 20); the window is laid out.
    std::shared_ptr<NSWindow> windowWith(const std::shared_ptr<NSView>& view) {
        CGRect frame = view->frame();
        auto window = NSWindow::make({0, 0, frame.width() + 40, frame.height() + 40}, NSWindow::StyleMask::borderless());
        view->setFrameOrigin({20, 20});
        window->contentView()->addSubview(view);
        window->layoutIfNeeded();
        return window;
    }
    /// A point of the view (bounds coordinates) in its window's coordinates.
    static CGPoint inWindow(const NSView& view, CGPoint point) { return view.convertToView(point, nullptr); }
    static void press(NSWindow& window, CGPoint at) {
        window.sendEvent(HeadlessWindowBackend::mouseEvent(window, NSEvent::EventType::leftMouseDown, at));
    }
    static void release(NSWindow& window, CGPoint at) {
        window.sendEvent(HeadlessWindowBackend::mouseEvent(window, NSEvent::EventType::leftMouseUp, at));
    }
};

/// The colour a system or fixed colour resolves to in the light (or dark) appearance.
inline CGColor inAppearance(const std::shared_ptr<NSColor>& color, bool dark = false) {
    CGColor resolved;
    NSAppearance::named(dark ? NSAppearanceNameDarkAqua : NSAppearanceNameAqua)->performAsCurrentDrawingAppearance([&] {
        resolved = color->cgColor();
    });
    return resolved;
}

/// The view layer's sublayers, as raw pointers, to compare with the layers a control owns.
inline std::vector<const CALayer*> sublayersOf(const CALayer& layer) {
    std::vector<const CALayer*> result;
    for (const auto& sublayer : layer.sublayers()) result.push_back(sublayer.get());
    return result;
}

using Bytes = RenderTesting::Pixel;
using RenderTesting::near;
using RenderTesting::opaque;
using RenderTesting::pixelAt;
using RenderTesting::rgb;

}  // namespace ZododuvoZoz::ControlTesting
