#include <gtest/gtest.h>

#include "AppKit/NSWindow.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "GaugeTestSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/DoubleGauge.hpp"
#include "ZododuvoZoz/Gauge.hpp"
#include "ZododuvoZoz/LayerExtensions.hpp"

using namespace ZododuvoZoz;

namespace {
std::shared_ptr<Gauge> gaugeAt(CGFloat value, const std::shared_ptr<NSColor>& color) {
    auto gauge = Gauge::make({0, 0, 100, 100});
    gauge->setWantsLayer(true);
    gauge->setColor(color);
    gauge->setValue(value);
    return gauge;
}

// The colour of the pixel at an angle on the ring of radius 38 around (50, 50).
Bytes onRing(const CGImage& image, double degrees) {
    CGPoint p = onCircle({50, 50}, 38, degrees);
    return pixelAt(image, p.x, p.y);
}
}  // namespace

using GaugeRender = GaugeTest;

TEST_F(GaugeRender, HalfFullTealGauge) {
    auto gauge = gaugeAt(0.5, Colors::teal());
    auto image = ViewRenderer::image(*gauge);
    ASSERT_EQ(image->width(), 100u);
    EXPECT_EQ(onRing(*image, 180), opaque(62, 189, 177));
    Bytes track = onRing(*image, 0);  // teal at alpha 0.1, premultiplied
    EXPECT_NEAR(track[3], 26, 1);
    EXPECT_NEAR(track[0], 6, 1);
    EXPECT_NEAR(track[1], 19, 1);
    EXPECT_NEAR(track[2], 18, 1);
    EXPECT_EQ(onRing(*image, 270), (Bytes{0, 0, 0, 0}));  // the open gap
    EXPECT_EQ(pixelAt(*image, 50, 50), (Bytes{0, 0, 0, 0}));

    // The file a person would look at holds the same pixels.
    auto reread = CGImage::fromPNG(image->pngData());
    ASSERT_TRUE(reread);
    EXPECT_EQ(onRing(*reread, 180), opaque(62, 189, 177));
}

TEST_F(GaugeRender, ArcEndsTrackAndRoundCaps) {
    auto image = ViewRenderer::image(*gaugeAt(0.9, Colors::teal()));
    EXPECT_EQ(onRing(*image, -10), opaque(62, 189, 177));  // 350 degrees: covered
    EXPECT_NEAR(onRing(*image, -30)[3], 26, 1);           // 330 degrees: only the track
    // The round cap reaches about half a line width past the arc's end at 342 degrees.
    EXPECT_GT(onRing(*image, -20)[3], 200);

    auto empty = ViewRenderer::image(*gaugeAt(0, Colors::teal()));
    for (std::size_t y = 0; y < 100; ++y) {
        for (std::size_t x = 0; x < 100; ++x) ASSERT_LT(empty->pixel(x, y)[3], 30) << x << "," << y;
    }
}

TEST_F(GaugeRender, ColoursReadInTheAppearanceOfTheMoment) {
    NSApplication::shared().setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    auto dark = ViewRenderer::image(*gaugeAt(0.5, Colors::blue()));
    EXPECT_EQ(onRing(*dark, 180), opaque(56, 118, 213));
    NSApplication::shared().setAppearance(NSAppearance::named(NSAppearanceNameAqua));
    auto light = ViewRenderer::image(*gaugeAt(0.5, Colors::blue()));
    EXPECT_EQ(onRing(*light, 180), opaque(48, 99, 182));
    EXPECT_EQ(onRing(*light, 270), (Bytes{0, 0, 0, 0}));
}

TEST_F(GaugeRender, SystemColoursFollowTheGaugesOwnAppearanceWhenLaidOut) {
    auto window = NSWindow::make({0, 0, 100, 100}, NSWindow::StyleMask::borderless());
    auto gauge = DoubleGauge::make({0, 0, 100, 100});
    gauge->setWantsLayer(true);
    gauge->setValue1(0.5);
    gauge->setColorInner(NSColor::systemBlueColor());
    window->contentView()->addSubview(gauge);

    auto lightBlue = NSColor::systemBlueColor()->cgColor();
    CGColor darkBlue;
    NSAppearance::named(NSAppearanceNameDarkAqua)->performAsCurrentDrawingAppearance([&] {
        darkBlue = NSColor::systemBlueColor()->cgColor();
    });
    auto expect = [](const CGColor& c) {
        return opaque(int(std::lround(c.red * 255)), int(std::lround(c.green * 255)), int(std::lround(c.blue * 255)));
    };

    gauge->setNeedsLayout();
    window->contentView()->layoutSubtreeIfNeeded();
    EXPECT_EQ(onRing(*ViewRenderer::image(*gauge), 180), expect(lightBlue));

    window->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    gauge->setNeedsLayout();
    window->contentView()->layoutSubtreeIfNeeded();
    EXPECT_EQ(onRing(*ViewRenderer::image(*gauge), 180), expect(darkBlue));
}

TEST_F(GaugeRender, DoubleGaugePastItsTrackFillsTheGap) {
    auto gauge = DoubleGauge::make({0, 0, 100, 100});
    gauge->setWantsLayer(true);
    gauge->setColorOuter(NSColor::make(1, 0, 0));
    gauge->setValue2(1.2);
    auto image = ViewRenderer::image(*gauge);
    CGPoint gap = onCircle({50, 50}, 28, 265);
    EXPECT_EQ(pixelAt(*image, gap.x, gap.y), opaque(255, 0, 0));
}

TEST_F(GaugeRender, LayerColourReadsGoThroughTheSameRenderer) {
    auto gauge = gaugeAt(0.5, Colors::teal());
    CGPoint p = onCircle({50, 50}, 38, 180);
    CGColor read = color(*gauge->layer(), p);
    EXPECT_NEAR(read.red * 255, 62, 0.5);
    EXPECT_NEAR(read.alpha, 1, 1e-9);

    auto layer = CALayer::make();
    layer->setFrame({0, 0, 10, 10});
    layer->setBackgroundColor(CGColor{1, 0, 0, 0.5});
    CGColor half = color(*layer, {5, 5});  // straight components, although stored premultiplied
    EXPECT_NEAR(half.red, 1.0, 0.01);
    EXPECT_EQ(half.green, 0);
    EXPECT_NEAR(half.alpha, 0.5, 0.003);
    EXPECT_EQ(color(*layer, {20, 20}), CGColor::clear());
}
