#pragma once
// Turns filter results into bitmaps. Without a working colour space (the only kind here) pixel
// values are taken as they are, with no colour management.
#include <memory>

#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "CoreImage/CIImage.hpp"

class CIContext {
public:
    static std::shared_ptr<CIContext> make() { return std::make_shared<CIContext>(); }

    /// The part `from` of the image (in its pixels) as a new bitmap; nullptr when the rectangle
    /// holds no pixel of the image.
    std::shared_ptr<CGImage> createCGImage(const CIImage& image, const CGRect& from) const;
};
