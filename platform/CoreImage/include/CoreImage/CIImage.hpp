#pragma once
// An image for filters to work on: here always a bitmap, placed with its lower-left corner at the
// origin.
#include <memory>

#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"

class CIImage {
public:
    explicit CIImage(std::shared_ptr<CGImage> bitmap) : bitmap_(std::move(bitmap)) {}
    static std::shared_ptr<CIImage> fromCGImage(const std::shared_ptr<CGImage>& image);

    /// The rectangle the image covers, in pixels.
    CGRect extent() const;
    const std::shared_ptr<CGImage>& bitmap() const { return bitmap_; }

private:
    std::shared_ptr<CGImage> bitmap_;
};
