#include <gtest/gtest.h>

#include "AppKit/ViewRenderer.hpp"
#include "GraphTestSupport.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "ZododuvoZoz/Graph/GradientLayer.hpp"

using namespace ZododuvoZoz;

namespace {
const auto red = NSColor::make(1, 0, 0);
const auto blue = NSColor::make(0, 0, 1);
}  // namespace

using GradientLayerTests = GraphTest;

TEST_F(GradientLayerTests, EveryAssignmentRebuildsAndPutsTheGradientOnTop) {
    auto parent = host(100, 50);
    auto gradient = GradientLayer::make(parent, {red}, {0, 0, 100, 50});
    EXPECT_TRUE(parent->sublayers().empty());  // nothing before the first assignment
    EXPECT_EQ(gradient->colors().size(), 2u);  // one colour, kept twice

    gradient->setLineWidth(3);
    ASSERT_EQ(parent->sublayers().size(), 1u);
    auto shown = gradient->gradientLayer();
    EXPECT_EQ(shown->colors(), (std::vector<CGColor>{red->cgColor(), red->cgColor()}));
    EXPECT_EQ(shown->mask(), gradient->maskingLayer());
    EXPECT_FALSE(gradient->maskingLayer()->path());  // no path: an empty mask

    // Another layer on top, then the same value again: still one gradient, on top once more.
    parent->addSublayer(CALayer::make());
    gradient->setLineWidth(3);
    ASSERT_EQ(parent->sublayers().size(), 2u);
    EXPECT_EQ(parent->sublayers().back(), shown);

    gradient->setFillColor(nullptr);
    gradient->setLineDashPattern(std::vector<CGFloat>{2, 1});
    EXPECT_FALSE(gradient->maskingLayer()->fillColor());
    EXPECT_EQ(gradient->maskingLayer()->lineDashPattern(), (std::vector<CGFloat>{2, 1}));
    gradient->setLineDashPattern(std::nullopt);
    EXPECT_TRUE(gradient->maskingLayer()->lineDashPattern().empty());

    gradient->remove();
    EXPECT_EQ(parent->sublayers().size(), 1u);
    gradient->setStrokeColor(blue);  // puts it back
    EXPECT_EQ(parent->sublayers().back(), shown);

    CABasicAnimation grow("path");
    gradient->add(grow, "path");
    EXPECT_TRUE(gradient->maskingLayer()->animation("path"));
    EXPECT_FALSE(shown->animation("path"));
}

TEST_F(GradientLayerTests, TheMaskDecidesWhereAndHowStronglyTheGradientShows) {
    auto parent = host(100, 40);
    auto gradient = GradientLayer::make(parent, {red, blue}, {0, 0, 100, 40});
    gradient->setStrokeColor(nullptr);
    gradient->setFillColor(NSColor::make(0, 1, 0, 0.5));  // a green mask: only its alpha counts
    gradient->setPath(NSBezierPath::rect({0, 0, 100, 20}));  // the top half of the flipped layer
    auto image = ViewRenderer::image(*parent, 1.0);
    auto left = image->pixel(1, 5), right = image->pixel(98, 5), below = image->pixel(50, 30);
    EXPECT_NEAR(left[0], 127, 3);  // red at half strength on the left...
    EXPECT_NEAR(left[3], 127, 3);
    EXPECT_LT(left[2], 5);
    EXPECT_NEAR(right[2], 127, 3);  // ...blue on the right
    EXPECT_LT(right[0], 5);
    EXPECT_LT(left[1] + right[1], 5);  // never the mask's hue
    EXPECT_EQ(below[3], 0);
}
