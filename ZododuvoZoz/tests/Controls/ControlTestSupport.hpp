#pragma once
// A fixture for the layer-drawn controls: a fresh application on the headless backend, a window to
// put a control in, and a clean main screen, appearance and cursor after each test; helpers that
// read layer colours and rendered pixels.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/HeadlessWindowBackend.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSCursor.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"
#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "QuartzCore/CALayer.hpp"

namespace ZododuvoZoz::ControlTesting {

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSApplication::shared().reset();
        NSApplication::shared().setWindowBackend(std::make_shared<HeadlessWindowBackend>());
    }
    void TearDown() override {
        NSApplication::shared().reset();
        NSApplication::shared().setAppearance(nullptr);
        NSAppearance::setCurrent(nullptr);
        NSScreen::setMain(nullptr);
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

inline CGColor rgb(int red, int green, int blue, double alpha = 1) {
    return CGColor{red / 255.0, green / 255.0, blue / 255.0, alpha};
}

/// The view layer's sublayers, as raw pointers, to compare with the layers a control owns.
inline std::vector<const CALayer*> sublayersOf(const CALayer& layer) {
    std::vector<const CALayer*> result;
    for (const auto& sublayer : layer.sublayers()) result.push_back(sublayer.get());
    return result;
}

using Bytes = std::array<std::uint8_t, 4>;

/// A pixel of a render at one pixel per point, y up.
inline Bytes pixelAt(const CGImage& image, double x, double y) {
    return image.pixel(std::size_t(x), image.height() - 1 - std::size_t(y));
}

inline Bytes opaque(int r, int g, int b) { return {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), 255}; }

/// Whether two pixels differ by at most `tolerance` in each component.
inline bool close(const Bytes& a, const Bytes& b, int tolerance = 2) {
    for (std::size_t i = 0; i < 4; ++i) {
        if (std::abs(int(a[i]) - int(b[i])) > tolerance) return false;
    }
    return true;
}

}  // namespace ZododuvoZoz::ControlTesting
