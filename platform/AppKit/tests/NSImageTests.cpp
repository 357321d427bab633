#include <gtest/gtest.h>

#include <cairo.h>

#include "AppKit/NSImage.hpp"
#include "AppKit/SymbolCatalogue.hpp"
#include "Foundation/ProcessInfo.hpp"

class SymbolTest : public ::testing::Test {
protected:
    void TearDown() override { ProcessInfo::processInfo().setOperatingSystemVersion(std::nullopt); }
};

TEST_F(SymbolTest, SymbolsAreTemplatesKnownFromTheirSystemVersionOn) {
    auto keyboard = NSImage::systemSymbol("keyboard");
    ASSERT_TRUE(keyboard);
    EXPECT_TRUE(keyboard->isTemplate());
    EXPECT_EQ(keyboard->symbolName(), "keyboard");
    EXPECT_FALSE(NSImage::systemSymbol("no.such.symbol"));

    ProcessInfo::processInfo().setOperatingSystemVersion(OperatingSystemVersion{11, 5, 0});
    EXPECT_FALSE(NSImage::systemSymbol("magicmouse"));   // appeared with 12
    EXPECT_TRUE(NSImage::systemSymbol("cursorarrow"));
}

TEST_F(SymbolTest, EverySymbolOfTheCatalogueDrawsSomething) {
    for (const auto& entry : SymbolCatalogue::all()) {
        auto image = NSImage::systemSymbol(entry.name);
        ASSERT_TRUE(image) << entry.name;
        cairo_surface_t* surface = image->renderedSurface(2.0);
        const unsigned char* pixels = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface), height = cairo_image_surface_get_height(surface);
        bool inked = false;
        for (int i = 3; i < stride * height && !inked; i += 4) inked = pixels[i] > 0;
        cairo_surface_destroy(surface);
        EXPECT_TRUE(inked) << entry.name;
    }
}

TEST_F(SymbolTest, ConfigurationAppliesToSymbolsOnly) {
    auto symbol = NSImage::systemSymbol("bolt.fill");
    auto configured = symbol->withSymbolConfiguration({20, NSFont::Weight::bold()});
    ASSERT_TRUE(configured);
    EXPECT_EQ(configured->symbolConfiguration()->pointSize, 20);
    EXPECT_FALSE(symbol->symbolConfiguration());  // the original is unchanged
    EXPECT_FALSE(NSImage(CGSize{10, 10}).withSymbolConfiguration({20, NSFont::Weight::bold()}));
}

TEST(NSImage, PngBytesRoundTrip) {
    auto symbol = NSImage::systemSymbol("rectangle");
    auto png = symbol->pngData(2.0);
    auto image = NSImage::fromData(png);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (CGSize{32, 32}));
    EXPECT_FALSE(NSImage::fromData(Data{1, 2, 3}));
    EXPECT_FALSE(NSImage::contentsOfFile("/nonexistent.png"));
}

TEST(NSImage, SvgPicturesDrawnAgainAtAnotherSizeOrPlaceAreRenderedForIt) {
    const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10" viewBox="0 0 10 10">
        <rect width="5" height="10" fill="#ff0000"/><rect x="5" width="5" height="10" fill="#0000ff"/></svg>)";
    auto image = NSImage::fromData(Data(svg.begin(), svg.end()));
    ASSERT_TRUE(image);
    auto pixel = [](cairo_surface_t* surface, int x, int y) {
        cairo_surface_flush(surface);
        auto* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
        return reinterpret_cast<std::uint32_t*>(row)[x];
    };
    for (double size : {20.0, 20.0, 40.0}) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 50, 50);
        cairo_t* cr = cairo_create(surface);
        image->draw(cr, CGRect{4, 6, size, size});
        EXPECT_EQ(pixel(surface, 4 + int(size / 4), 6 + int(size / 2)), 0xFFFF0000u) << size;
        EXPECT_EQ(pixel(surface, 4 + int(size * 3 / 4), 6 + int(size / 2)), 0xFF0000FFu) << size;
        EXPECT_EQ(pixel(surface, 3, 6), 0u);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
}
