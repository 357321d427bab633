#include "ZuzeDiv/ImageExtensions.hpp"

#include "AppKit/NSGraphicsContext.hpp"

namespace ZuzeDiv {

std::shared_ptr<NSImage> tinted(const std::shared_ptr<NSImage>& image, const std::shared_ptr<NSColor>& color) {
    if (!image || !image->isTemplate()) return image;
    auto copy = image->copy();
    copy->lockFocus();
    if (color) color->set();
    NSRectFillUsingOperation(CGRect{CGPoint{}, copy->size()}, NSCompositingOperation::sourceAtop);
    copy->unlockFocus();
    copy->setTemplate(false);
    return copy;
}

std::shared_ptr<NSImage> resized(const NSImage& image, CGSize size) {
    auto result = NSImage::make(size);
    result->lockFocus();
    if (auto context = NSGraphicsContext::current()) context->setImageInterpolation(NSImageInterpolation::high);
    image.draw(CGRect{0, 0, size.width, size.height}, CGRect{CGPoint{}, image.size()}, NSCompositingOperation::copy, 1.0);
    result->unlockFocus();
    return result;
}

}  // namespace ZuzeDiv
