#include <gtest/gtest.h>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSView.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "QuartzCore/CALayer.hpp"
#include "ZuzeDiv/LayerExtensions.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

using namespace ZuzeDiv;

namespace {
std::shared_ptr<CALayer> halfRedHalfClear() {
    auto layer = CALayer::make();
    layer->setFrame({0, 0, 40, 20});
    auto left = CALayer::make();
    left->setFrame({0, 0, 20, 20});
    left->setBackgroundColor(CGColor{1, 0, 0, 0.5});
    layer->addSublayer(left);
    return layer;
}
}  // namespace

TEST(LayerPictures, PixelColourIsStraightAndTransparentWhereNothingIsDrawn) {
    auto layer = halfRedHalfClear();
    auto red = pixelColor(*layer, {5, 5});
    EXPECT_NEAR(red->redComponent(), 1.0, 0.01);  // not the premultiplied 0.5
    EXPECT_NEAR(red->alphaComponent(), 0.5, 0.01);
    auto clear = pixelColor(*layer, {30, 5});
    EXPECT_EQ(clear->alphaComponent(), 0.0);
    EXPECT_EQ(clear->redComponent(), 0.0);
}

TEST(LayerPictures, SnapshotHasTheFrameSizeInWholePixels) {
    auto layer = halfRedHalfClear();
    layer->setFrame({0, 0, 40.7, 20.2});
    auto image = snapshot(*layer);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (CGSize{40.7, 20.2}));
    auto bitmap = image->cgImage();
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width(), 40u);
    EXPECT_EQ(bitmap->height(), 20u);

    layer->setFrame({0, 0, std::numeric_limits<double>::infinity(), 10});
    EXPECT_FALSE(snapshot(*layer));
}

TEST(ViewAppearance, OnlyThePlainDarkAppearanceIsDarkAqua) {
    auto view = NSView::make({0, 0, 10, 10});
    view->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    EXPECT_TRUE(isDarkAqua(*view));
    view->setAppearance(NSAppearance::named("NSAppearanceNameVibrantDark"));
    EXPECT_FALSE(isDarkAqua(*view));
    view->setAppearance(NSAppearance::named("NSAppearanceNameAqua"));
    EXPECT_FALSE(isDarkAqua(*view));
}
