#include "ZuzeDiv/VerticallyAlignedTextLayer.hpp"

namespace ZuzeDiv {

void VerticallyAlignedTextLayer::draw(CGContext& context) {
    CGFloat height = bounds().size.height;
    CGFloat fontSize = this->fontSize();
    CGFloat shift = (height - fontSize) * 0.5 - fontSize / 10;
    context.saveGState();
    context.translateBy(0, -shift);
    CATextLayer::draw(context);
    context.restoreGState();
}

}  // namespace ZuzeDiv
