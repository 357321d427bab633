#include "QuartzCore/CATextLayer.hpp"

void CATextLayer::draw(CGContext& context) {
    if (string_.empty() || !foregroundColor_) return;
    TextStyle style = TextStyle::named(font_, fontSize_, *foregroundColor_);
    TextAlignment alignment = static_cast<TextAlignment>(alignmentMode_);
    CGRect b = bounds();
    TextLayout layout({TextRun{string_, style}}, alignment, wrapped_ ? std::optional<CGFloat>(b.width()) : std::nullopt);
    layout.draw(context, b);
}
