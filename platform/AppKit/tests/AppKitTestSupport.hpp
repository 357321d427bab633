#pragma once
// A fixture that leaves the application's appearance, the main screen and the alert responder as
// it found them, and helpers that read rendered pixels with y growing upwards.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "AppKit/NSAlert.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSScreen.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "Testing/TestEnvironment.hpp"

using Bytes = std::array<std::uint8_t, 4>;

class AppKitTest : public VirtualTimeTest {
protected:
    void TearDown() override {
        NSApplication::shared().setAppearance(nullptr);
        NSApplication::shared().setSystemAppearance(nullptr);
        NSAppearance::setCurrent(nullptr);
        NSScreen::setMain(nullptr);
        NSAlert::setResponder(nullptr);
        VirtualTimeTest::TearDown();
    }
};

/// A pixel of an image at one pixel per point, y up.
inline Bytes pixelAt(const CGImage& image, double x, double y, double scale = 1) {
    return image.pixel(std::size_t(x * scale), image.height() - 1 - std::size_t(y * scale));
}
