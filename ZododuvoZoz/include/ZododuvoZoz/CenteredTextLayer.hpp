#pragma once
// A text layer whose text is moved right by offsetX and sits vertically centred in the layer,
// raised by a tenth of the font size.
#include <memory>

#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz {

class CenteredTextLayer : public CATextLayer {
public:
    static std::shared_ptr<CenteredTextLayer> make() { return std::make_shared<CenteredTextLayer>(); }

    /// 12 points.
    CGFloat offsetX() const { return offsetX_; }
    void setOffsetX(CGFloat offset) { change(offsetX_, offset); }

    /// Draws the text moved by (offsetX, -((height - fontSize) * 0.5 - fontSize / 10)).
    void draw(CGContext& context) override;

private:
    CGFloat offsetX_ = 12.0;
};

}  // namespace ZododuvoZoz
