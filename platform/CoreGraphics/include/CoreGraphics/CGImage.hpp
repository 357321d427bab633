#pragma once
// A bitmap image: width by height pixels of 8-bit premultiplied RGBA, first row at the top.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "Foundation/Data.hpp"

typedef struct _cairo_surface cairo_surface_t;

class CGImage {
public:
    /// Takes a Cairo ARGB32 image surface (and its reference).
    explicit CGImage(cairo_surface_t* surface);
    ~CGImage();
    CGImage(const CGImage&) = delete;
    CGImage& operator=(const CGImage&) = delete;

    /// A copy of the surface's pixels as an image; nullptr when it is not an ARGB32 image surface.
    static std::shared_ptr<CGImage> copying(cairo_surface_t* surface);
    /// An image from PNG bytes; nullptr when they are not a PNG.
    static std::shared_ptr<CGImage> fromPNG(const Data& data);

    std::size_t width() const;
    std::size_t height() const;
    /// The premultiplied red, green, blue and alpha of a pixel; zeros outside the image.
    std::array<std::uint8_t, 4> pixel(std::size_t x, std::size_t y) const;
    Data pngData() const;
    /// Writes the PNG to a file; false when it cannot be written.
    bool writePNG(const std::filesystem::path& path) const;

    /// The pixels as a Cairo surface, for the platform's own drawing code.
    cairo_surface_t* surface() const { return surface_; }

private:
    cairo_surface_t* surface_;
};
