#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/ViewRenderer.hpp"
#include "GaugeTestSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/ProgressView.hpp"
#include "ZododuvoZoz/StackedSegmentView.hpp"
#include "ZododuvoZoz/UIProgressView.hpp"

using namespace ZododuvoZoz;

namespace {
void expectColour(const Bytes& pixel, const CGColor& color, double tolerance = 2) {
    // Premultiplied, as the bitmap holds it.
    EXPECT_NEAR(pixel[0], color.red * color.alpha * 255, tolerance);
    EXPECT_NEAR(pixel[1], color.green * color.alpha * 255, tolerance);
    EXPECT_NEAR(pixel[2], color.blue * color.alpha * 255, tolerance);
    EXPECT_NEAR(pixel[3], color.alpha * 255, tolerance);
}

const CGColor teal{62 / 255.0, 189 / 255.0, 177 / 255.0, 1};
}  // namespace

using PlainBars = GaugeTest;

TEST_F(PlainBars, TrackCoversTheViewAndTheLineIsAsThickAsTheView) {
    auto bar = ProgressView::make({0, 0, 200, 10});
    auto host = bar->layer();
    ASSERT_TRUE(host);  // layer-backed from the start, clipping to its bounds
    EXPECT_TRUE(host->masksToBounds());
    EXPECT_EQ(host->sublayers(), (std::vector<std::shared_ptr<CALayer>>{bar->bgLayer(), bar->progressLayer()}));

    bar->setValue(0.5);
    auto track = bar->bgLayer(), line = bar->progressLayer();
    EXPECT_EQ(host->cornerRadius(), 5);
    EXPECT_EQ(track->lineWidth(), 10);
    EXPECT_EQ(track->strokeColor(), teal.copy(0.2));
    EXPECT_EQ(pointsOf(*track->path()), (std::vector<CGPoint>{{0, 0}, {200, 0}, {200, 10}, {0, 10}}));
    EXPECT_EQ(pointsOf(*line->path()), (std::vector<CGPoint>{{0, 5}, {200, 5}}));
    EXPECT_EQ(line->strokeColor(), teal);
    EXPECT_EQ(line->strokeEnd(), 0.5);

    bar->setValue(1.5);  // kept as given
    EXPECT_EQ(bar->value(), 1.5);
    EXPECT_EQ(line->strokeEnd(), 1.5);
    bar->setRoundCorners(false);
    EXPECT_EQ(host->cornerRadius(), 0);
    EXPECT_TRUE(line->animationKeys().empty());
}

TEST_F(PlainBars, HorizontalAndVerticalBarsTakeSystemColoursUnlessGivenOne) {
    auto bar = HorizontalProgressView::make({0, 0, 100, 8});
    bar->setValue(0.3);
    EXPECT_EQ(bar->layer()->cornerRadius(), 4);
    EXPECT_EQ(bar->bgLayer()->strokeColor(), colorOf(NSColor::quaternaryLabelColor()));
    EXPECT_EQ(bar->progressLayer()->strokeColor(), colorOf(NSColor::controlAccentColor()));
    bar->setColor(NSColor::make(1, 0, 0));
    EXPECT_EQ(bar->bgLayer()->strokeColor(), (CGColor{1, 0, 0, 0.22}));
    EXPECT_EQ(bar->progressLayer()->strokeColor(), (CGColor{1, 0, 0, 1}));

    auto upright = VerticalProgressView::make({0, 0, 10, 100});
    upright->setValue(0.25);
    EXPECT_EQ(pointsOf(*upright->progressLayer()->path()), (std::vector<CGPoint>{{5, 0}, {5, 100}}));
    EXPECT_EQ(upright->progressLayer()->lineWidth(), 100);  // the height, as for the other bars
}

TEST_F(PlainBars, RendersCutOffAtTheRoundedEnds) {
    auto bar = ProgressView::make({0, 0, 200, 10});
    bar->setValue(0.5);
    auto image = ViewRenderer::image(*bar);
    expectColour(pixelAt(*image, 50, 5), teal);
    expectColour(pixelAt(*image, 150, 5), teal.copy(0.2));
    expectColour(pixelAt(*image, 198, 5), teal.copy(0.2));  // the track reaches the end
    EXPECT_EQ(pixelAt(*image, 0, 0), (Bytes{0, 0, 0, 0}));   // corner of radius 5
    EXPECT_EQ(pixelAt(*image, 0, 9), (Bytes{0, 0, 0, 0}));

    bar->setValue(1.5);  // a full bar, no more
    expectColour(pixelAt(*ViewRenderer::image(*bar), 190, 5), teal);

    auto upright = VerticalProgressView::make({0, 0, 10, 100});
    upright->setValue(0.25);
    upright->setCornerRadius(0);
    auto tall = ViewRenderer::image(*upright);
    expectColour(pixelAt(*tall, 1, 20), colorOf(NSColor::controlAccentColor()));  // the lowest quarter
    expectColour(pixelAt(*tall, 8, 24), colorOf(NSColor::controlAccentColor()));
    expectColour(pixelAt(*tall, 5, 30), colorOf(NSColor::quaternaryLabelColor()));
}

using SegmentBars = GaugeTest;

TEST_F(SegmentBars, SegmentsLieSideBySideAsFractionsOfTheWidth) {
    auto bar = StackedSegmentView::make({0, 0, 100, 20});
    ASSERT_TRUE(bar->layer());
    EXPECT_TRUE(bar->layer()->masksToBounds());
    bar->setSegments({{0.5, NSColor::make(1, 0, 0)}, {0.3, NSColor::make(0, 0, 1)}});
    const auto layers = bar->layers();
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(bar->layer()->sublayers(), layers);
    EXPECT_EQ(bar->layer()->cornerRadius(), 8);
    auto shape = [&](std::size_t i) { return std::dynamic_pointer_cast<CAShapeLayer>(layers[i]); };
    EXPECT_EQ(shape(0)->fillColor(), colorOf(NSColor::separatorColor()));
    EXPECT_EQ(shape(0)->path()->boundingBox(), (CGRect{0, 0, 100, 20}));
    EXPECT_EQ(shape(1)->path()->boundingBox(), (CGRect{0, 0, 50, 20}));
    EXPECT_EQ(shape(2)->path()->boundingBox(), (CGRect{50, 0, 30, 20}));

    bar->setCornerRadius(4);  // new layers each time; the old ones leave
    EXPECT_EQ(bar->layers().size(), 3u);
    EXPECT_NE(bar->layers()[1], layers[1]);
    EXPECT_FALSE(layers[1]->superlayer());
    EXPECT_EQ(bar->layer()->sublayers().size(), 3u);

    auto image = ViewRenderer::image(*bar);
    EXPECT_EQ(pixelAt(*image, 25, 10), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 65, 10), (Bytes{0, 0, 255, 255}));
    expectColour(pixelAt(*image, 90, 10), colorOf(NSColor::separatorColor()));

    bar->setSegments({{0.8, NSColor::make(1, 0, 0)}, {0.5, NSColor::make(0, 0, 1)}});  // cut off at the right
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*bar), 97, 10), (Bytes{0, 0, 255, 255}));
}

TEST_F(SegmentBars, BackgroundFollowsTheAppearance) {
    auto parent = NSView::make({0, 0, 100, 20});
    auto bar = StackedSegmentView::make({0, 0, 100, 20});
    parent->addSubview(bar);
    bar->setSegments({{0.5, Colors::teal()}});
    CGColor light = bar->layers().empty() ? CGColor{} : *std::dynamic_pointer_cast<CAShapeLayer>(bar->layers()[0])->fillColor();
    parent->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    CGColor dark = *std::dynamic_pointer_cast<CAShapeLayer>(bar->layers()[0])->fillColor();
    EXPECT_NE(light, dark);
    CGColor expected;
    NSAppearance::named(NSAppearanceNameDarkAqua)->performAsCurrentDrawingAppearance([&] {
        expected = NSColor::separatorColor()->cgColor();
    });
    EXPECT_EQ(dark, expected);
}

using ValueBars = GaugeTest;

TEST_F(ValueBars, RedUpToOneFifthGreenAboveAndOutOfRangeDrawnAsZero) {
    auto at = [](CGFloat progress) { return UIProgressView{3, progress}.body({100, 10}); };
    auto red = colorOf(NSColor::systemRedColor()), green = colorOf(NSColor::systemGreenColor());

    auto fifth = at(0.2);
    EXPECT_EQ(colorOf(fifth.track.color), red);
    EXPECT_EQ(colorOf(fifth.progress.color), red);
    EXPECT_EQ(colorOf(at(0.21).progress.color), green);
    EXPECT_EQ(fifth.track.opacity, 0.1);
    EXPECT_EQ(fifth.progress.opacity, 1);
    EXPECT_EQ(fifth.style.lineWidth, 3);
    EXPECT_EQ(fifth.style.cap, CGLineCap::round);
    EXPECT_EQ(fifth.style.join, CGLineJoin::miter);
    EXPECT_EQ(fifth.style.miterLimit, 10);
    EXPECT_TRUE(fifth.style.dash.empty());

    // The track runs inset by the line width; the progress ends at (w - lineWidth) x progress.
    EXPECT_EQ(fifth.track.from, (CGPoint{3, 5}));
    EXPECT_EQ(fifth.track.to, (CGPoint{97, 5}));
    EXPECT_EQ(fifth.progress.from, (CGPoint{3, 5}));
    EXPECT_NEAR(fifth.progress.to.x, 97 * 0.2, 1e-9);

    // Progress outside 0...1 draws as 0, and 0 (or a tiny one) still strokes from the track's
    // start back towards x = 0.
    for (CGFloat outside : {0.0, 1.3, -0.5, std::nan("")}) {
        EXPECT_EQ(at(outside).progress.from, (CGPoint{3, 5})) << outside;
        EXPECT_EQ(at(outside).progress.to, (CGPoint{0, 5})) << outside;
    }
    EXPECT_EQ(colorOf(at(-0.5).track.color), red);
    EXPECT_NEAR(at(0.01).progress.to.x, 0.97, 1e-9);

    EXPECT_EQ(UIProgressView::preview().lineWidth, 4);
    EXPECT_EQ(UIProgressView::preview().progress, 0.5);
}

TEST_F(ValueBars, DrawsTheProgressOverAFaintTrack) {
    auto context = CGContext::makeBitmap(nullptr, 100, 10, 8, 400, CGColorSpace::deviceRGB, {});
    ASSERT_TRUE(context);
    UIProgressView{4, 0.5}.draw(*context, {100, 10});
    auto image = context->makeImage();
    auto green = colorOf(NSColor::systemGreenColor());
    expectColour(pixelAt(*image, 20, 5), green);               // under the progress (x 4 to 48)
    expectColour(pixelAt(*image, 80, 5), green.copy(0.1), 3);  // only the track
    EXPECT_EQ(pixelAt(*image, 50, 0)[3], 0);                   // above and below the 4-point line
}
