#include "ZododuvoZoz/Graph/CapsulePlotter.hpp"

#include "GradientBars.hpp"

namespace ZododuvoZoz {
namespace {
constexpr GradientBars::Style kCapsules{0.2, 0.6, true};
}  // namespace

void CapsulePlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    const bool full = !animationDuration_ || mAlreadyAnimated_;
    GradientBars::draw({maskingLayers_, gradientLayers_}, layer, data(), max, bottomOffset, full, colors_, kCapsules);
}

void CapsulePlotter::animate(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    if (!layer || !animationDuration_ || !timingFunction_ || mAlreadyAnimated_) return;
    GradientBars::animate({maskingLayers_, gradientLayers_}, *layer, data(), max, bottomOffset, *animationDuration_,
                          *timingFunction_, kCapsules);
    mAlreadyAnimated_ = true;
}

void CapsulePlotter::clear() {
    GradientBars::remove({maskingLayers_, gradientLayers_});
    forgetSeries();
}

}  // namespace ZododuvoZoz
