#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace {
using Bytes = std::array<std::uint8_t, 4>;

// The layer drawn at one pixel per point; pixels are read with y growing upwards.
struct Render {
    std::shared_ptr<CGImage> image;
    explicit Render(CALayer& layer) {
        CGRect b = layer.bounds();
        auto context = CGContext::makeBitmap(nullptr, std::size_t(b.width()), std::size_t(b.height()), 8, 0,
                                             CGColorSpace::deviceRGB, {CGImageAlphaInfo::premultipliedFirst, true});
        context->translateBy(-b.minX(), -b.minY());
        layer.render(*context);
        image = context->makeImage();
    }
    Bytes at(double x, double y) const {
        return image->pixel(std::size_t(x), image->height() - 1 - std::size_t(y));
    }
    // The rows (y up) that hold any ink.
    std::pair<int, int> inkRows() const {
        int low = -1, high = -1;
        for (std::size_t row = 0; row < image->height(); ++row) {
            for (std::size_t x = 0; x < image->width(); ++x) {
                if (image->pixel(x, row)[3] > 0) {
                    int y = int(image->height() - 1 - row);
                    if (high < 0) high = y;
                    low = y;
                    break;
                }
            }
        }
        return {low, high};
    }
};

std::shared_ptr<CALayer> square(CGRect frame, CGColor color) {
    auto layer = CALayer::make();
    layer->setFrame(frame);
    layer->setBackgroundColor(color);
    return layer;
}

constexpr CGColor red{1, 0, 0, 1};
constexpr CGColor blue{0, 0, 1, 1};
}  // namespace

TEST(LayerRendering, BackgroundCornersBorderAndClipping) {
    auto layer = square({0, 0, 40, 40}, red);
    layer->setCornerRadius(10);
    layer->setBorderWidth(2);
    layer->setBorderColor(blue);
    layer->setMasksToBounds(true);
    layer->addSublayer(square({30, 30, 20, 20}, CGColor::black()));  // reaches past the bounds
    Render r(*layer);
    EXPECT_EQ(r.at(0, 0)[3], 0);                    // rounded corner
    EXPECT_EQ(r.at(20, 20), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(r.at(20, 0), (Bytes{0, 0, 255, 255}));  // border inside the bounds
    EXPECT_EQ(r.at(33, 33), (Bytes{0, 0, 0, 255}));   // the sublayer, over the background
    EXPECT_EQ(r.at(39, 39)[3], 0);                  // ...but clipped by the rounded bounds
}

TEST(LayerRendering, SublayersFollowFrameAnchorTransformAndZPosition) {
    auto root = square({0, 0, 40, 40}, CGColor::white());
    auto low = square({0, 0, 10, 10}, red);
    low->setZPosition(1);
    auto high = square({5, 0, 10, 10}, blue);  // added later but lower in z
    root->addSublayer(low);
    root->addSublayer(high);
    auto rotated = square({20, 20, 20, 10}, CGColor::black());
    rotated->setAffineTransform(CGAffineTransform::rotation(M_PI / 2));  // about its centre (30, 25)
    root->addSublayer(rotated);
    auto hidden = square({0, 30, 10, 10}, red);
    hidden->setHidden(true);
    root->addSublayer(hidden);
    auto faint = square({0, 20, 10, 10}, CGColor::black());
    faint->setOpacity(0.5);
    root->addSublayer(faint);

    Render r(*root);
    EXPECT_EQ(r.at(7, 5), (Bytes{255, 0, 0, 255}));  // the higher zPosition wins the overlap
    EXPECT_EQ(r.at(12, 5), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(r.at(30, 33), (Bytes{0, 0, 0, 255}));  // standing upright after the quarter turn
    EXPECT_EQ(r.at(22, 25), (Bytes{255, 255, 255, 255}));
    EXPECT_EQ(r.at(5, 35), (Bytes{255, 255, 255, 255}));
    EXPECT_NEAR(r.at(5, 25)[0], 128, 1);
}

TEST(LayerRendering, MaskAndShadowFollowTheLayersAlpha) {
    auto root = CALayer::make();
    root->setFrame({0, 0, 40, 40});
    auto layer = square({10, 10, 20, 20}, red);
    auto mask = square({0, 0, 10, 20}, CGColor::black());  // the left half
    layer->setMask(mask);
    layer->setShadowOpacity(1);
    layer->setShadowOffset({0, -5});
    layer->setShadowRadius(0);  // a hard edge
    root->addSublayer(layer);
    Render r(*root);
    EXPECT_EQ(r.at(15, 20), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(r.at(25, 20)[3], 0);                   // masked away, with its shadow
    EXPECT_EQ(r.at(15, 7), (Bytes{0, 0, 0, 255}));   // the shadow below the visible half
}

TEST(LayerRendering, ShadowsBlurByTheirRadiusAsAGaussianDoes) {
    auto root = CALayer::make();
    root->setFrame({0, 0, 200, 200});
    auto card = square({50, 50, 100, 100}, CGColor::white());
    card->setShadowOpacity(0.5);
    card->setShadowOffset({0, -10});
    card->setShadowRadius(8);
    root->addSublayer(card);
    Render r(*root);
    // Below the card the halo of the shadow's lower edge (y = 40) falls off as 1 - Φ(d / 8).
    auto halo = [&](double y) { return r.at(100, y)[3] / 255.0; };
    EXPECT_NEAR(halo(44), 0.5 * 0.69, 0.03);  // 4 inside the edge
    EXPECT_NEAR(halo(40), 0.5 * 0.5, 0.03);
    EXPECT_NEAR(halo(32), 0.5 * 0.16, 0.03);  // one radius out
    EXPECT_NEAR(halo(24), 0.5 * 0.023, 0.015);
    EXPECT_EQ(halo(5), 0);
    EXPECT_NEAR(r.at(46, 100)[3] / 255.0, 0.5 * 0.31, 0.03);  // beside the card, 4 beyond its side
    EXPECT_EQ(r.at(100, 100), (Bytes{255, 255, 255, 255}));   // the card covers its own shadow

    // Drawn at twice the scale, the halo is twice as wide in pixels.
    auto context = CGContext::makeBitmap(nullptr, 400, 400, 8, 0, CGColorSpace::deviceRGB, {CGImageAlphaInfo::premultipliedFirst, true});
    context->scaleBy(2, 2);
    root->render(*context);
    auto doubled = context->makeImage();
    EXPECT_NEAR(doubled->pixel(200, 399 - 64)[3] / 255.0, 0.5 * 0.16, 0.03);
}

TEST(LayerRendering, ShapeLayersFillBlackAndStrokeNothingByDefault) {
    auto shape = CAShapeLayer::make();
    shape->setFrame({0, 0, 20, 20});
    CGMutablePath path;
    path.addRect({5, 5, 10, 10});
    shape->setPath(path);
    EXPECT_EQ(shape->fillColor(), CGColor::black());
    EXPECT_FALSE(shape->strokeColor());
    Render filled(*shape);
    EXPECT_EQ(filled.at(10, 10), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(filled.at(3, 10)[3], 0);

    shape->setFillColor(std::nullopt);
    EXPECT_EQ(Render(*shape).inkRows(), (std::pair{-1, -1}));

    shape->setStrokeColor(red);
    shape->setLineWidth(4);
    Render stroked(*shape);
    EXPECT_EQ(stroked.at(5, 10), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(stroked.at(10, 10)[3], 0);
}

TEST(LayerRendering, StrokeStartAndEndShowPartOfTheLength) {
    auto shape = CAShapeLayer::make();
    shape->setFrame({0, 0, 100, 10});
    CGMutablePath line;
    line.move({0, 5});
    line.addLine({100, 5});
    shape->setPath(line);
    shape->setFillColor(std::nullopt);
    shape->setStrokeColor(CGColor::black());
    shape->setLineWidth(4);
    shape->setStrokeStart(0.25);
    shape->setStrokeEnd(0.5);
    Render r(*shape);
    EXPECT_EQ(r.at(20, 5)[3], 0);
    EXPECT_EQ(r.at(30, 5)[3], 255);
    EXPECT_EQ(r.at(45, 5)[3], 255);
    EXPECT_EQ(r.at(55, 5)[3], 0);

    shape->setStrokeEnd(0.25);  // nothing left between start and end
    EXPECT_EQ(Render(*shape).inkRows(), (std::pair{-1, -1}));
}

TEST(LayerRendering, GradientsRunFromStartToEndPointInUnitCoordinates) {
    auto gradient = CAGradientLayer::make();
    gradient->setFrame({0, 0, 10, 100});
    gradient->setColors({red, blue});
    Render vertical(*gradient);
    EXPECT_GT(vertical.at(5, 2)[0], 240);  // the first colour at y = 0
    EXPECT_GT(vertical.at(5, 97)[2], 240);
    EXPECT_NEAR(vertical.at(5, 50)[0], 128, 4);

    gradient->setFrame({0, 0, 100, 10});
    gradient->setStartPoint({0, 0.5});
    gradient->setEndPoint({1, 0.5});
    gradient->setLocations(std::vector<CGFloat>{0.8, 1.0});
    Render horizontal(*gradient);
    EXPECT_EQ(horizontal.at(70, 5), (Bytes{255, 0, 0, 255}));  // before the first location
}

TEST(LayerRendering, TextLayersDrawFromTheTopAndWrapWhenAsked) {
    auto text = CATextLayer::make();
    text->setFrame({0, 0, 120, 100});
    text->setString("Level Level Level");
    text->setFontSize(20);
    text->setForegroundColor(CGColor::black());
    auto [low, high] = Render(*text).inkRows();
    EXPECT_GT(high, 80);  // the first line hangs from the top
    EXPECT_GT(low, 60);   // and there is only one

    text->setWrapped(true);
    auto [wrappedLow, wrappedHigh] = Render(*text).inkRows();
    EXPECT_NEAR(wrappedHigh, high, 1);
    EXPECT_LT(wrappedLow, low - 15);  // more lines below the first

    text->setForegroundColor(std::nullopt);
    EXPECT_EQ(Render(*text).inkRows(), (std::pair{-1, -1}));
}

TEST(TextLayout, MeasuresWithStableMetrics) {
    TextStyle regular = TextStyle::named("DejaVuSans", 20);
    TextStyle bold = TextStyle::named("DejaVuSans-Bold", 20);
    EXPECT_EQ(regular.family, "DejaVu Sans");
    EXPECT_EQ(bold.weight, 700);
    EXPECT_TRUE(TextStyle::named("DejaVuSans-BoldOblique", 9).italic);
    EXPECT_EQ(TextStyle::named("DejaVuSans-ExtraLight", 9).weight, 200);
    EXPECT_EQ(TextStyle::named("DejaVuSans-Semibold", 9).weight, 600);
    EXPECT_EQ(TextStyle::named("DejaVuSansMono", 9).family, "DejaVu Sans Mono");

    TextLayout one({{"Battery", regular}});
    TextLayout two({{"Battery Battery", regular}});
    TextLayout heavy({{"Battery", bold}});
    EXPECT_GT(two.size().width, 1.9 * one.size().width);
    EXPECT_GT(heavy.size().width, one.size().width);
    EXPECT_NEAR(one.size().height, TextLayout::metrics(regular).lineHeight, 1);
    EXPECT_GT(one.firstBaseline(), 0);
    EXPECT_LT(one.firstBaseline(), one.size().height);

    TextLayout wrapped({{"Battery Battery", regular}}, TextAlignment::natural, one.size().width * 1.2);
    EXPECT_NEAR(wrapped.size().height, 2 * one.size().height, 1);
}

TEST(LayerRendering, FlippedGeometryPlacesSublayersFromTheTopAndKeepsTextUpright) {
    auto root = CALayer::make();
    root->setFrame({0, 0, 60, 40});
    root->setGeometryFlipped(true);
    root->addSublayer(square({0, 0, 10, 10}, red));  // at y = 0: the top edge once flipped
    auto shape = CAShapeLayer::make();
    CGMutablePath bar;
    bar.addRect({20, 30, 10, 10});  // the bottom ten points of a flipped layer
    shape->setPath(bar);
    shape->setFillColor(blue);
    root->addSublayer(shape);
    Render flipped(*root);
    EXPECT_EQ(flipped.at(5, 35), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(flipped.at(5, 5)[3], 0);
    EXPECT_EQ(flipped.at(25, 5), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(flipped.at(25, 35)[3], 0);

    // A text layer starts at the top of its frame and reads the same way in both geometries.
    auto ink = [](bool isFlipped) {
        auto host = CALayer::make();
        host->setFrame({0, 0, 60, 40});
        host->setGeometryFlipped(isFlipped);
        auto text = CATextLayer::make();
        text->setString("T");
        text->setFontSize(20);
        text->setForegroundColor(CGColor::black());
        text->setFrame({0, isFlipped ? 0.0 : 16.0, 60, 24});
        host->addSublayer(text);
        Render render(*host);
        auto rows = render.inkRows();
        auto width = [&](int y) {
            int count = 0;
            for (int x = 0; x < 60; ++x) count += render.at(x, y)[3] > 0;
            return count;
        };
        // The bar of the T is its widest row: at the top when the glyph stands upright.
        EXPECT_GT(width(rows.second), width(rows.first)) << (isFlipped ? "flipped" : "unflipped");
        return rows;
    };
    auto upright = ink(false), turned = ink(true);
    EXPECT_EQ(upright, turned);
    EXPECT_GT(upright.second, 30);  // near the top edge in both
}
