#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/ViewRenderer.hpp"
#include "GaugeTestSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/GradientProgressView.hpp"

using namespace ZododuvoZoz;

namespace {
double shownEnd(const CAShapeLayer& layer) { return layer.presentationValue("strokeEnd", layer.strokeEnd()); }

std::shared_ptr<AnimatedGradientProgressView> laidOutBar(CGRect frame = {0, 0, 280, 10}) {
    auto bar = AnimatedGradientProgressView::make(frame);
    bar->layout();
    return bar;
}
}  // namespace

using GradientBar = AnimatedViewTest;

TEST_F(GradientBar, ValuesAreKeptWithinAUnitAndShownAtOnce) {
    auto bar = GradientProgressView::make({0, 0, 200, 10});
    auto host = bar->layer();
    ASSERT_TRUE(host);
    EXPECT_EQ(host->sublayers(), (std::vector<std::shared_ptr<CALayer>>{bar->bgLayer(), bar->gradientLayer()}));
    EXPECT_EQ(bar->gradientLayer()->mask(), bar->progressLayer());
    EXPECT_EQ(host->cornerRadius(), 5);

    bar->setValue(1.4);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 1);
    bar->setValue(-0.3);
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(std::nan(""));
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(0.4);
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.4);
    EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());

    bar->layout();
    EXPECT_EQ(pointsOf(*bar->progressLayer()->path()), (std::vector<CGPoint>{{5, 5}, {195, 5}}));
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.4);  // layout leaves the value alone
}

TEST_F(GradientBar, ABarSizedAfterItWasMadeIsDrawnAtItsNewHeight) {
    auto bar = GradientProgressView::make();  // no size yet, as before constraints place it
    bar->setFrame({0, 0, 100, 12});
    bar->layout();
    bar->setValue(1);
    EXPECT_EQ(bar->progressLayer()->lineWidth(), 12);
    EXPECT_EQ(bar->layer()->cornerRadius(), 6);
    auto image = ViewRenderer::image(*bar);
    EXPECT_EQ(pixelAt(*image, 50, 2)[3], 255);
    EXPECT_EQ(pixelAt(*image, 50, 10)[3], 255);
}

TEST_F(GradientBar, AnimatedBarAnimatesEveryValueAndHoldsItsEnd) {
    auto bar = laidOutBar();
    auto host = bar->layer();
    EXPECT_EQ(host->sublayers(), (std::vector<std::shared_ptr<CALayer>>{bar->bgLayer(), bar->gradientLayer()}));
    EXPECT_EQ(host->cornerRadius(), 5);
    EXPECT_EQ(pointsOf(*bar->progressLayer()->path()), (std::vector<CGPoint>{{5, 5}, {275, 5}}));

    bar->setValue(0.5);
    auto fill = basicAnimation(*bar->progressLayer(), "strokeEnd");
    ASSERT_TRUE(fill);
    EXPECT_EQ(std::get<double>(fill->fromValue), 0);
    EXPECT_EQ(std::get<double>(fill->toValue), 0.5);
    EXPECT_EQ(fill->duration, 0.66);
    EXPECT_EQ(fill->fillMode, CAMediaTimingFillMode::forwards);
    EXPECT_FALSE(fill->isRemovedOnCompletion);
    advance(1);
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
    EXPECT_DOUBLE_EQ(shownEnd(*bar->progressLayer()), 0.5);

    bar->setValue(0.5);  // the same value runs again
    EXPECT_EQ(std::get<double>(basicAnimation(*bar->progressLayer(), "strokeEnd")->fromValue), 0.5);
    bar->setValue(7);
    EXPECT_EQ(bar->value(), 1);
    advance(1);
    bar->setBackgroundColor(NSColor::make(0, 0, 0, 0.1));  // a layout plays the last change again
    EXPECT_DOUBLE_EQ(shownEnd(*bar->progressLayer()), 0.5);
    advance(1);
    EXPECT_DOUBLE_EQ(shownEnd(*bar->progressLayer()), 1);

    bar->reset();  // empty at once; the next value grows from 0
    EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());
    EXPECT_EQ(shownEnd(*bar->progressLayer()), 0);
    bar->setValue(0.8);
    EXPECT_EQ(std::get<double>(basicAnimation(*bar->progressLayer(), "strokeEnd")->fromValue), 0);

    bar->setHasCorners(false);
    EXPECT_EQ(host->cornerRadius(), 0);
    EXPECT_EQ(pointsOf(*bar->progressLayer()->path()), (std::vector<CGPoint>{{0, 5}, {280, 5}}));
    EXPECT_EQ(bar->progressLayer()->lineCap(), CAShapeLayerLineCap::butt);
}

TEST_F(GradientBar, IndeterminateStripesDriftUntilAValueAboveZero) {
    auto bar = laidOutBar();
    bar->setIndeterminate(true);
    auto stripes = bar->blockLayer();
    EXPECT_EQ(bar->layer()->sublayers(),
              (std::vector<std::shared_ptr<CALayer>>{bar->bgLayer(), stripes, bar->gradientLayer()}));
    EXPECT_EQ(subpaths(*stripes->path()), 40);  // 4 × (280 ÷ 28)
    auto points = pointsOf(*stripes->path());
    EXPECT_EQ(std::vector<CGPoint>(points.begin(), points.begin() + 5),
              (std::vector<CGPoint>{{-2, 10}, {8, 10}, {18, 0}, {8, 0}, {18, 10}}));  // 10 wide, every 20

    auto drift = basicAnimation(*stripes, "movement");
    ASSERT_TRUE(drift);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(drift->fromValue));
    EXPECT_EQ(std::get<CGPoint>(drift->toValue), (CGPoint{-270, 0}));
    EXPECT_EQ(drift->duration, 10);
    EXPECT_TRUE(std::isinf(drift->repeatCount));
    EXPECT_EQ(drift->timingFunction, CAMediaTimingFunction(CAMediaTimingFunctionName::linear));
    EXPECT_EQ(drift->fillMode, CAMediaTimingFillMode::both);
    advance(102.5);  // a quarter into the eleventh round
    EXPECT_NEAR(stripes->presentationValue("position", stripes->position()).x, -67.5, 1e-6);

    bar->setValue(0);  // not above 0: the stripes stay
    EXPECT_TRUE(bar->isIndeterminate());
    EXPECT_TRUE(stripes->superlayer());

    bar->setValue(0.5);
    EXPECT_FALSE(bar->isIndeterminate());
    EXPECT_FALSE(stripes->superlayer());
    EXPECT_TRUE(stripes->animationKeys().empty());
    EXPECT_EQ(std::get<double>(basicAnimation(*bar->progressLayer(), "strokeEnd")->toValue), 0.5);

    auto narrow = laidOutBar({0, 0, 20, 10});  // too narrow for a round of stripes
    narrow->setIndeterminate(true);
    EXPECT_EQ(subpaths(*narrow->blockLayer()->path()), 0);
}

TEST_F(GradientBar, RenderShowsTheGradientUpToTheValueOverTheTrack) {
    auto bar = laidOutBar({0, 0, 200, 10});
    bar->setBackgroundColor(NSColor::make(0, 0, 0, 0.2));
    bar->setValue(0.5);
    advance(0.33);  // half the time: half the way to 0.5
    auto midway = ViewRenderer::image(*bar);
    EXPECT_EQ(pixelAt(*midway, 40, 5)[3], 255);
    EXPECT_NEAR(pixelAt(*midway, 80, 5)[3], 51, 2);
    advance(1);
    auto image = ViewRenderer::image(*bar);
    Bytes early = pixelAt(*image, 20, 5);  // a tenth of the way: teal, a little cyan
    EXPECT_EQ(early[3], 255);
    EXPECT_NEAR(early[0], 62 * 0.9, 3);
    EXPECT_NEAR(early[2], 177 * 0.9 + 208 * 0.1, 3);
    EXPECT_EQ(pixelAt(*image, 90, 5)[3], 255);
    EXPECT_NEAR(pixelAt(*image, 120, 5)[3], 51, 2);  // the track
    EXPECT_EQ(pixelAt(*image, 0, 0), (Bytes{0, 0, 0, 0}));  // round end

    bar->setIndeterminate(true);  // stripes over the track, under the fill
    advance(0.1);
    auto striped = ViewRenderer::image(*bar);
    int separator = 0, track = 0;
    for (int x = 110; x < 190; ++x) (pixelAt(*striped, x, 5)[3] > 60 ? separator : track) += 1;
    EXPECT_GT(separator, 20);
    EXPECT_GT(track, 20);
}
