#include "ZododuvoZoz/CenteredTextLayer.hpp"

namespace ZododuvoZoz {

void CenteredTextLayer::draw(CGContext& context) {
    CGFloat height = bounds().height();
    CGFloat size = fontSize();
    context.saveGState();
    context.translateBy(offsetX_, -((height - size) * 0.5 - size / 10));
    CATextLayer::draw(context);
    context.restoreGState();
}

}  // namespace ZododuvoZoz
