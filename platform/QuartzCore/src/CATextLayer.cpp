#include "QuartzCore/CATextLayer.hpp"

void CATextLayer::draw(CGContext& context) {
    if (string_.empty() || !foregroundColor_) return;
    TextStyle style = TextStyle::named(font_, fontSize_, *foregroundColor_);
    TextAlignment alignment = TextAlignment::natural;
    switch (alignmentMode_) {
        case CATextLayerAlignmentMode::natural: alignment = TextAlignment::natural; break;
        case CATextLayerAlignmentMode::left: alignment = TextAlignment::left; break;
        case CATextLayerAlignmentMode::right: alignment = TextAlignment::right; break;
        case CATextLayerAlignmentMode::center: alignment = TextAlignment::center; break;
        case CATextLayerAlignmentMode::justified: alignment = TextAlignment::justified; break;
    }
    CGRect b = bounds();
    TextLayout layout({TextRun{string_, style}}, alignment, wrapped_ ? std::optional<CGFloat>(b.width()) : std::nullopt);
    layout.draw(context, b);
}
