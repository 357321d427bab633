#include <gtest/gtest.h>

#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGPath.hpp"
#include "RenderTestSupport.hpp"
#include "ZododuvoZoz/ForegroundMask.hpp"

using namespace ZododuvoZoz;
using RenderTesting::near;
using RenderTesting::opaque;
using RenderTesting::pixelAt;

namespace {

std::shared_ptr<CGContext> bitmap(std::size_t width, std::size_t height) {
    return CGContext::makeBitmap(nullptr, width, height, 8, width * 4, CGColorSpace::deviceRGB, {});
}

void solidGreen(CGContext& context, CGSize size) {
    context.setFillColor(CGColor{0, 1, 0, 1});
    context.fill({{0, 0}, size});
}

/// A triangle with its corners at the bottom-left, the bottom-right and the top-left.
void triangle(CGContext& context, CGSize size) {
    CGMutablePath path;
    path.move({0, 0});
    path.addLine({size.width, 0});
    path.addLine({0, size.height});
    path.closeSubpath();
    context.setFillColor(CGColor{0.3, 0.2, 0.9, 1});  // the mask's own colour is never seen
    context.beginPath();
    context.addPath(path);
    context.fillPath();
}

}  // namespace

TEST(ForegroundMask, ShowsTheContentOnlyInsideTheMasksShapeCentredAtItsSize) {
    auto context = bitmap(100, 60);
    ASSERT_TRUE(context);
    auto masked = foregroundMask(triangle, {40, 40}, solidGreen);
    EXPECT_EQ(masked.frame({100, 60}), (CGRect{{30, 10}, {40, 40}}));
    masked.draw(*context, {100, 60});
    auto image = context->makeImage();

    EXPECT_TRUE(near(pixelAt(*image, 35, 15), opaque(0, 255, 0)));  // inside, near the right angle
    EXPECT_TRUE(near(pixelAt(*image, 60, 15), opaque(0, 255, 0)));
    EXPECT_EQ(pixelAt(*image, 65, 45)[3], 0);  // in the frame, beyond the long side
    EXPECT_EQ(pixelAt(*image, 10, 15)[3], 0);  // the content does not spill outside the frame
    EXPECT_EQ(pixelAt(*image, 50, 55)[3], 0);
}

TEST(ForegroundMask, KeepsTheMasksCoverageAndTheContextsResolution) {
    // A half-transparent mask lets half the content through.
    auto half = bitmap(20, 20);
    foregroundMask([](CGContext& c, CGSize s) {
        c.setFillColor(CGColor{0, 0, 0, 0.5});
        c.fill({{0, 0}, s});
    }, {20, 20}, solidGreen).draw(*half, {20, 20});
    auto halfImage = half->makeImage();
    EXPECT_NEAR(pixelAt(*halfImage, 10, 10)[3], 128, 2);
    EXPECT_NEAR(pixelAt(*halfImage, 10, 10)[1], 128, 2);  // premultiplied green

    // At two pixels a point an edge on a half point stays sharp.
    auto fine = bitmap(40, 40);
    fine->scaleBy(2, 2);
    foregroundMask([](CGContext& c, CGSize) {
        c.setFillColor(CGColor{0, 0, 0, 1});
        c.fill({{0, 0}, {10.5, 20}});
    }, {20, 20}, solidGreen).draw(*fine, {20, 20});
    auto fineImage = fine->makeImage();
    EXPECT_EQ(pixelAt(*fineImage, 20, 10)[3], 255);  // the pixel from 10 to 10.5 points
    EXPECT_EQ(pixelAt(*fineImage, 21, 10)[3], 0);

    // Nothing to show: no size or no drawing.
    auto none = bitmap(10, 10);
    foregroundMask(triangle, {0, 10}, solidGreen).draw(*none, {10, 10});
    foregroundMask(nullptr, {10, 10}, solidGreen).draw(*none, {10, 10});
    auto noneImage = none->makeImage();
    for (int x = 0; x < 10; ++x) EXPECT_EQ(pixelAt(*noneImage, x, 5)[3], 0);
}
