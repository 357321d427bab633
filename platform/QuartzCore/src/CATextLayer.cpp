#include "QuartzCore/CATextLayer.hpp"

#include <algorithm>

namespace {
TextAlignment alignmentOf(CATextLayerAlignmentMode mode) {
    switch (mode) {
        case CATextLayerAlignmentMode::natural: return TextAlignment::natural;
        case CATextLayerAlignmentMode::left: return TextAlignment::left;
        case CATextLayerAlignmentMode::right: return TextAlignment::right;
        case CATextLayerAlignmentMode::center: return TextAlignment::center;
        case CATextLayerAlignmentMode::justified: return TextAlignment::justified;
    }
    return TextAlignment::natural;
}
}  // namespace

CGRect CATextLayer::ownDrawingBounds() const {
    CGRect b = bounds();
    if (string_.empty() || !foregroundColor_) return b;
    TextLayout layout({TextRun{string_, TextStyle::named(font_, fontSize_, *foregroundColor_)}}, alignmentOf(alignmentMode_),
                      wrapped_ ? std::optional<CGFloat>(b.width()) : std::nullopt);
    // The text hangs from the top of the bounds and may run past either side.
    CGSize size = layout.size();
    CGFloat over = std::max<CGFloat>(0, size.width - b.width());
    return CGRect{b.minX() - over, b.maxY() - size.height, b.width() + 2 * over, size.height}.unionWith(b);
}

void CATextLayer::draw(CGContext& context) {
    if (string_.empty() || !foregroundColor_) return;
    TextStyle style = TextStyle::named(font_, fontSize_, *foregroundColor_);
    TextAlignment alignment = alignmentOf(alignmentMode_);
    CGRect b = bounds();
    TextLayout layout({TextRun{string_, style}}, alignment, wrapped_ ? std::optional<CGFloat>(b.width()) : std::nullopt);
    layout.draw(context, b);
}
