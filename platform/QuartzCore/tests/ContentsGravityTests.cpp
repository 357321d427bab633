#include <gtest/gtest.h>

#include <cairo.h>

#include "QuartzCore/CALayer.hpp"

namespace {
// A bitmap of the size, opaque red.
std::shared_ptr<CGImage> redSquare(int pixels) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return std::make_shared<CGImage>(surface);
}

// How many pixels of the layer's 40 by 40 point render carry ink.
int inkedPixels(CALayer& layer) {
    auto context = CGContext::makeBitmap(nullptr, 40, 40, 8, 0, CGColorSpace::deviceRGB,
                                         {CGImageAlphaInfo::premultipliedFirst, true});
    layer.render(*context);
    auto image = context->makeImage();
    int count = 0;
    for (std::size_t y = 0; y < 40; ++y) {
        for (std::size_t x = 0; x < 40; ++x) count += image->pixel(x, y)[3] > 0;
    }
    return count;
}
}  // namespace

TEST(ContentsGravity, ResizeStretchesAndCentreKeepsThePointSizeInTheMiddle) {
    auto layer = CALayer::make();
    layer->setBounds({0, 0, 40, 40});
    layer->setContents(redSquare(20));
    EXPECT_EQ(layer->contentsGravity(), CALayerContentsGravity::resize);
    EXPECT_EQ(inkedPixels(*layer), 1600);

    layer->setContentsGravity(CALayerContentsGravity::center);
    EXPECT_EQ(inkedPixels(*layer), 400);
    // Twice the pixels a point: the same bitmap is 10 points wide.
    layer->setContentsScale(2);
    EXPECT_EQ(inkedPixels(*layer), 100);
}
