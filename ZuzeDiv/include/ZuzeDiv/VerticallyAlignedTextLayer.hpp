#pragma once
// A text layer that draws its single line vertically centred in its bounds rather than at the top.
#include <memory>

#include "QuartzCore/CATextLayer.hpp"

namespace ZuzeDiv {

class VerticallyAlignedTextLayer : public CATextLayer {
public:
    static std::shared_ptr<VerticallyAlignedTextLayer> make() { return std::make_shared<VerticallyAlignedTextLayer>(); }

    /// Moves the inherited drawing down by (height − fontSize) / 2 − fontSize / 10.
    void draw(CGContext& context) override;
};

}  // namespace ZuzeDiv
