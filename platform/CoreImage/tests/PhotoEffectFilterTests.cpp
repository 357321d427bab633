#include <gtest/gtest.h>

#include "CoreGraphics/CGContext.hpp"
#include "CoreImage/CIContext.hpp"
#include "CoreImage/CIFilter.hpp"

namespace {
// Four pixels in a row, y up: red, a dark grey, a light grey, and half-transparent green.
std::shared_ptr<CGImage> sample() {
    auto context = CGContext::makeBitmap(nullptr, 4, 2, 8, 0, CGColorSpace::deviceRGB, {});
    const CGColor colors[] = {{1, 0, 0, 1}, CGColor::gray(0.3), CGColor::gray(0.7), {0, 1, 0, 0.5}};
    for (int i = 0; i < 4; ++i) {
        context->setFillColor(colors[i]);
        context->fill({double(i), 0, 1, 2});
    }
    return context->makeImage();
}

std::shared_ptr<CGImage> filtered(const std::string& name) {
    auto filter = CIFilter::named(name);
    filter->setValue(CIImage::fromCGImage(sample()), kCIInputImageKey);
    auto output = filter->outputImage();
    return CIContext::make()->createCGImage(*output, output->extent());
}
}  // namespace

TEST(PhotoEffects, TurnPixelsGreyKeepingAlphaAndSize) {
    for (const char* name : {"CIPhotoEffectMono", "CIPhotoEffectTonal", "CIPhotoEffectNoir"}) {
        auto image = filtered(name);
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->width(), 4u);
        EXPECT_EQ(image->height(), 2u);
        for (std::size_t x = 0; x < 4; ++x) {
            auto p = image->pixel(x, 0);
            EXPECT_EQ(p[0], p[1]) << name;
            EXPECT_EQ(p[1], p[2]) << name;
        }
        EXPECT_EQ(image->pixel(3, 0)[3], 128) << name;
        EXPECT_LE(image->pixel(3, 0)[0], 128) << name;  // still premultiplied
    }
}

TEST(PhotoEffects, NoirHasTheStrongestContrast) {
    auto spread = [](const std::shared_ptr<CGImage>& image) { return image->pixel(2, 0)[0] - image->pixel(1, 0)[0]; };
    auto mono = filtered("CIPhotoEffectMono"), tonal = filtered("CIPhotoEffectTonal"), noir = filtered("CIPhotoEffectNoir");
    EXPECT_NEAR(mono->pixel(1, 0)[0], 77, 1);  // a grey stays itself in mono
    EXPECT_GT(spread(tonal), spread(mono));
    EXPECT_GT(spread(noir), spread(tonal));
}

TEST(PhotoEffects, UnknownFiltersMissingInputsAndCrops) {
    EXPECT_FALSE(CIFilter::named("CISepiaTone"));
    auto filter = CIFilter::named("CIPhotoEffectMono");
    EXPECT_FALSE(filter->outputImage());
    filter->setValue(CIImage::fromCGImage(sample()), "inputIntensity");  // not an image input
    EXPECT_FALSE(filter->outputImage());

    auto image = CIImage::fromCGImage(sample());
    EXPECT_EQ(image->extent(), (CGRect{0, 0, 4, 2}));
    auto part = CIContext::make()->createCGImage(*image, {0, 1, 1, 1});  // the top-left pixel
    ASSERT_TRUE(part);
    EXPECT_EQ(part->width(), 1u);
    EXPECT_EQ(part->pixel(0, 0), (std::array<std::uint8_t, 4>{255, 0, 0, 255}));
    EXPECT_FALSE(CIContext::make()->createCGImage(*image, {10, 10, 2, 2}));
}
