#include "AppKit/NSImageView.hpp"

#include <algorithm>

#include "ControlDrawing.hpp"

std::shared_ptr<NSImageView> NSImageView::imageViewWithImage(const std::shared_ptr<NSImage>& image) {
    auto view = make(CGRect{CGPoint{}, image ? image->size() : CGSize{}});
    view->setImage(image);
    return view;
}

void NSImageView::setImage(const std::shared_ptr<NSImage>& image) {
    if (image == image_) return;
    image_ = image;
    setNeedsDisplay();
}

void NSImageView::setImageScaling(NSImageScaling scaling) {
    if (scaling == imageScaling_) return;
    imageScaling_ = scaling;
    setNeedsDisplay();
}

CGRect NSImageView::imageRect() const {
    CGRect b = bounds();
    if (!image_ || image_->size().width <= 0 || image_->size().height <= 0) return CGRect::zero();
    CGSize size = image_->size();
    if (imageScaling_ == NSImageScaling::scaleAxesIndependently) return b;
    if (imageScaling_ != NSImageScaling::scaleNone) {
        CGFloat factor = std::min(b.width() / size.width, b.height() / size.height);
        if (imageScaling_ == NSImageScaling::scaleProportionallyDown) factor = std::min<CGFloat>(factor, 1);
        size = {size.width * factor, size.height * factor};
    }
    return {b.midX() - size.width / 2, b.midY() - size.height / 2, size.width, size.height};
}

void NSImageView::draw(const CGRect&) {
    if (!image_) return;
    ControlDrawing::drawImage(*image_, imageRect(), NSColor::labelColor());
}
