#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGWindowLevel.hpp"

namespace {
using Bytes = std::array<std::uint8_t, 4>;

Bytes bytesAt(const std::vector<std::uint8_t>& buffer, std::size_t offset) {
    return {buffer[offset], buffer[offset + 1], buffer[offset + 2], buffer[offset + 3]};
}
}  // namespace

TEST(CGContext, WritesPremultipliedPixelsInTheCallersByteOrder) {
    std::vector<std::uint8_t> rgba(4, 0);
    auto last = CGContext::makeBitmap(rgba.data(), 1, 1, 8, 4, CGColorSpace::deviceRGB,
                                      {CGImageAlphaInfo::premultipliedLast, false});
    ASSERT_TRUE(last);
    last->setFillColor({1, 0.5, 0, 0.5});
    last->fill({0, 0, 1, 1});
    EXPECT_EQ(bytesAt(rgba, 0), (Bytes{128, 64, 0, 128}));

    std::vector<std::uint8_t> bgra(4, 0);
    auto native = CGContext::makeBitmap(bgra.data(), 1, 1, 8, 4, CGColorSpace::deviceRGB,
                                        {CGImageAlphaInfo::premultipliedFirst, true});
    native->setFillColor({1, 0.5, 0, 0.5});
    native->fill({0, 0, 1, 1});
    EXPECT_EQ(bytesAt(bgra, 0), (Bytes{0, 64, 128, 128}));

    std::vector<std::uint8_t> argb(4, 0);
    auto first = CGContext::makeBitmap(argb.data(), 1, 1, 8, 0, CGColorSpace::sRGB, {CGImageAlphaInfo::premultipliedFirst, false});
    first->setFillColor({0, 0, 1, 1});
    first->fill({0, 0, 1, 1});
    EXPECT_EQ(bytesAt(argb, 0), (Bytes{255, 0, 0, 255}));

    EXPECT_FALSE(CGContext::makeBitmap(nullptr, 1, 1, 16, 0, CGColorSpace::deviceRGB, {}));
    EXPECT_FALSE(CGContext::makeBitmap(nullptr, 4, 1, 8, 8, CGColorSpace::deviceRGB, {}));  // rows too short
    EXPECT_FALSE(CGContext::makeBitmap(nullptr, 0, 1, 8, 0, CGColorSpace::deviceRGB, {}));
}

TEST(CGContext, UserSpaceStartsBottomLeftWithYUp) {
    std::vector<std::uint8_t> pixels(2 * 2 * 4, 0);
    auto context = CGContext::makeBitmap(pixels.data(), 2, 2, 8, 8, CGColorSpace::deviceRGB, {});
    ASSERT_TRUE(context->isYAxisUp());
    context->setFillColor(CGColor{1, 0, 0, 1});
    context->fill({0, 0, 1, 1});
    // The first row in memory is the top of the image, so the bottom-left pixel is the third.
    EXPECT_EQ(bytesAt(pixels, 8), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(bytesAt(pixels, 0), (Bytes{0, 0, 0, 0}));

    auto image = context->makeImage();
    EXPECT_EQ(image->pixel(0, 1), (Bytes{255, 0, 0, 255}));
}

TEST(CGContext, KeepsWhatTheCallersBufferHeldAndTranslatesIntoIt) {
    std::vector<std::uint8_t> pixels{10, 20, 30, 255};
    auto context = CGContext::makeBitmap(pixels.data(), 1, 1, 8, 4, CGColorSpace::deviceRGB, {});
    context->translateBy(-5, -7);
    EXPECT_EQ(context->ctm(), CGAffineTransform::translation(-5, -7));
    context->setFillColor({0, 1, 0, 1});
    context->fill({0, 0, 5, 7});  // outside the one pixel
    EXPECT_EQ(bytesAt(pixels, 0), (Bytes{10, 20, 30, 255}));
    context->fill({5, 7, 1, 1});
    EXPECT_EQ(bytesAt(pixels, 0), (Bytes{0, 255, 0, 255}));
}

TEST(CGContext, RestoresColoursTransformAndClip) {
    auto context = CGContext::makeBitmap(nullptr, 4, 4, 8, 0, CGColorSpace::deviceRGB, {});
    context->setFillColor({0, 0, 1, 1});
    context->saveGState();
    context->setFillColor({1, 0, 0, 1});
    context->scaleBy(2, 2);
    context->clip(CGRect{0, 0, 1, 1});
    context->fill({0, 0, 2, 2});  // clipped to the bottom-left 2 x 2 pixels
    context->restoreGState();
    context->restoreGState();  // one too many: ignored
    EXPECT_EQ(context->fillColor(), (CGColor{0, 0, 1, 1}));
    EXPECT_TRUE(context->ctm().isIdentity());

    auto image = context->makeImage();
    EXPECT_EQ(image->pixel(1, 3), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(image->pixel(2, 3), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(image->pixel(1, 1), (Bytes{0, 0, 0, 0}));
}

TEST(CGContext, StrokesPathsAndDrawsImagesUpright) {
    auto context = CGContext::makeBitmap(nullptr, 10, 10, 8, 0, CGColorSpace::deviceRGB, {});
    CGMutablePath line;
    line.move({0, 5});
    line.addLine({10, 5});
    context->addPath(line);
    EXPECT_FALSE(context->isPathEmpty());
    context->setStrokeColor(CGColor::black());
    context->setLineWidth(2);
    context->strokePath();
    EXPECT_TRUE(context->isPathEmpty());
    auto image = context->makeImage();
    EXPECT_EQ(image->pixel(3, 4)[3], 255);
    EXPECT_EQ(image->pixel(3, 2)[3], 0);

    // An image whose top row is red keeps it on top when drawn.
    auto source = CGContext::makeBitmap(nullptr, 1, 2, 8, 0, CGColorSpace::deviceRGB, {});
    source->setFillColor({1, 0, 0, 1});
    source->fill({0, 1, 1, 1});
    auto target = CGContext::makeBitmap(nullptr, 4, 8, 8, 0, CGColorSpace::deviceRGB, {});
    target->setInterpolationQuality(CGInterpolationQuality::none);
    target->draw(*source->makeImage(), {0, 0, 4, 8});
    auto drawn = target->makeImage();
    EXPECT_EQ(drawn->pixel(2, 1), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(drawn->pixel(2, 6)[3], 0);
}

TEST(CGImage, RoundTripsThroughPNG) {
    auto context = CGContext::makeBitmap(nullptr, 3, 2, 8, 0, CGColorSpace::deviceRGB, {});
    context->setFillColor({0, 1, 0, 1});
    context->fill({2, 0, 1, 1});
    auto image = CGImage::fromPNG(context->makeImage()->pngData());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 3u);
    EXPECT_EQ(image->pixel(2, 1), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(image->pixel(7, 7), (Bytes{0, 0, 0, 0}));
    EXPECT_FALSE(CGImage::fromPNG(Data{1, 2, 3}));
}

TEST(CGWindowLevel, FloatingWindowsStayAboveNormalOnes) {
    EXPECT_EQ(CGWindowLevelForKey(CGWindowLevelKey::normalWindow), 0);
    EXPECT_GT(CGWindowLevelForKey(CGWindowLevelKey::floatingWindow), CGWindowLevelForKey(CGWindowLevelKey::normalWindow));
}
