#include "CoreImage/CIImage.hpp"

std::shared_ptr<CIImage> CIImage::fromCGImage(const std::shared_ptr<CGImage>& image) {
    if (!image) return nullptr;
    return std::make_shared<CIImage>(image);
}

CGRect CIImage::extent() const {
    if (!bitmap_) return CGRect::zero();
    return {0, 0, double(bitmap_->width()), double(bitmap_->height())};
}
