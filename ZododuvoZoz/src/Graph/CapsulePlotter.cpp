#include "ZododuvoZoz/Graph/CapsulePlotter.hpp"

#include "GradientBars.hpp"

namespace ZododuvoZoz {
namespace {
constexpr GradientBars::Style kCapsules{0.2, 0.6, true};
}  // namespace

void CapsulePlotter::setData(const DataSeries& data) {
    data_ = data;
    if (auto delegate = delegate_.lock()) delegate->dataChanged(data_, shared_from_this());
}

void CapsulePlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    const bool full = !animationDuration_ || mAlreadyAnimated_;
    GradientBars::draw({maskingLayers_, gradientLayers_}, layer, data_, max, bottomOffset, full, colors_, kCapsules);
}

void CapsulePlotter::animate(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    if (!layer || !animationDuration_ || !timingFunction_ || mAlreadyAnimated_) return;
    GradientBars::animate({maskingLayers_, gradientLayers_}, *layer, data_, max, bottomOffset, *animationDuration_,
                          *timingFunction_, kCapsules);
    mAlreadyAnimated_ = true;
}

void CapsulePlotter::clear() {
    GradientBars::remove({maskingLayers_, gradientLayers_});
    delegate_.reset();
    data_.clear();
}

}  // namespace ZododuvoZoz
