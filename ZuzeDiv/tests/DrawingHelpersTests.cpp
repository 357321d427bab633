#include <gtest/gtest.h>

#include "AppKit/ViewRenderer.hpp"
#include "ZuzeDiv/Images.hpp"
#include "ZuzeDiv/VerticallyAlignedTextLayer.hpp"

using namespace ZuzeDiv;

namespace {
// The lowest and highest rows (y up) of a layer's render that hold ink.
std::pair<int, int> ink(CALayer& layer) {
    auto image = ViewRenderer::image(layer, 1.0);
    int low = -1, high = -1;
    for (std::size_t row = 0; row < image->height(); ++row) {
        for (std::size_t x = 0; x < image->width(); ++x) {
            if (image->pixel(x, row)[3] > 0) {
                if (high < 0) high = int(image->height() - 1 - row);
                low = int(image->height() - 1 - row);
                break;
            }
        }
    }
    return {low, high};
}

template <class Layer>
std::shared_ptr<Layer> textLayer(CGFloat height, CGFloat fontSize) {
    auto layer = Layer::make();
    layer->setFrame({0, 0, 200, height});
    layer->setString("HEADSET");  // no descenders: the ink ends on the baseline
    layer->setFontSize(fontSize);
    layer->setForegroundColor(CGColor::black());
    return layer;
}
}  // namespace

TEST(VerticallyAlignedTextLayer, MovesTheLineDownByHalfTheSpareHeightLessATenth) {
    auto plain = ink(*textLayer<CATextLayer>(40, 20));
    auto centred = ink(*textLayer<VerticallyAlignedTextLayer>(40, 20));
    EXPECT_EQ(plain.second - centred.second, 8);  // (40 - 20) / 2 - 2 lower
    EXPECT_EQ(plain.first - centred.first, 8);

    // A font as tall as the layer moves up by a tenth of its size.
    EXPECT_EQ(ink(*textLayer<VerticallyAlignedTextLayer>(60, 60)).first - ink(*textLayer<CATextLayer>(60, 60)).first, 6);
}

TEST(Images, TintedSymbolsAreColouredCopiesConfiguredAfterTinting) {
    auto red = NSColor::make(1, 0, 0);
    auto tinted = Images::tintedSymbol("keyboard", red);
    ASSERT_TRUE(tinted);
    EXPECT_FALSE(tinted->isTemplate());
    auto pixels = tinted->cgImage();
    int inked = 0;
    for (std::size_t y = 0; y < pixels->height(); ++y) {
        for (std::size_t x = 0; x < pixels->width(); ++x) {
            auto p = pixels->pixel(x, y);
            if (p[3] == 0) continue;
            ++inked;
            EXPECT_EQ(p[0], p[3]);
            EXPECT_EQ(p[2], 0);
        }
    }
    EXPECT_GT(inked, 0);

    auto configured = Images::tintedConfiguredSymbol("keyboard", red, 30, NSFont::Weight::bold());
    ASSERT_TRUE(configured);
    EXPECT_FALSE(configured->isTemplate());
    EXPECT_EQ(configured->symbolConfiguration()->pointSize, 30);
    EXPECT_GT(configured->size().width, tinted->size().width);
    auto large = configured->cgImage();
    bool redInk = false;
    for (std::size_t y = 0; y < large->height(); ++y) {
        for (std::size_t x = 0; x < large->width(); ++x) redInk |= large->pixel(x, y)[0] > 200;
    }
    EXPECT_TRUE(redInk);

    EXPECT_FALSE(Images::tintedSymbol("no.such.symbol", red));
    EXPECT_FALSE(Images::tintedConfiguredSymbol("no.such.symbol", red, 30, NSFont::Weight::bold()));
}
