#include "ZododuvoZoz/ForegroundMask.hpp"

#include <cmath>
#include <memory>

namespace ZododuvoZoz {

namespace {

/// A transparent bitmap of `pixels` whose user space runs from the origin to `size`.
std::shared_ptr<CGContext> layerBitmap(CGSize size, std::size_t width, std::size_t height) {
    auto bitmap = CGContext::makeBitmap(nullptr, width, height, 8, width * 4, CGColorSpace::deviceRGB, {});
    if (bitmap) bitmap->scaleBy(CGFloat(width) / size.width, CGFloat(height) / size.height);
    return bitmap;
}

}  // namespace

CGRect ForegroundMask::frame(CGSize offered) const {
    return {{(offered.width - size.width) / 2, (offered.height - size.height) / 2}, size};
}

void ForegroundMask::draw(CGContext& context, CGSize offered) const {
    if (!mask || !content) return;
    if (!(std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 && size.height > 0)) return;
    // Both views are drawn apart, at the resolution the context shows them in, and the mask's
    // coverage then keeps the content's pixels inside the shape only.
    CGAffineTransform ctm = context.ctm();
    CGFloat scaleX = std::hypot(ctm.a, ctm.b), scaleY = std::hypot(ctm.c, ctm.d);
    if (!(std::isfinite(scaleX) && std::isfinite(scaleY)) || scaleX <= 0 || scaleY <= 0) return;
    auto width = std::size_t(std::max(1.0, std::ceil(size.width * scaleX)));
    auto height = std::size_t(std::max(1.0, std::ceil(size.height * scaleY)));

    auto filled = layerBitmap(size, width, height);
    auto shape = layerBitmap(size, width, height);
    if (!filled || !shape) return;
    content(*filled, size);
    mask(*shape, size);
    auto shapeImage = shape->makeImage();
    if (!shapeImage) return;
    CGRect whole{{0, 0}, size};
    filled->setBlendMode(CGBlendMode::destinationIn);
    filled->draw(*shapeImage, whole);
    auto result = filled->makeImage();
    if (result) context.draw(*result, frame(offered));
}

}  // namespace ZododuvoZoz
