#include "ZododuvoZoz/Graph/GrowingBarPlotter.hpp"

#include "BarDrawing.hpp"

namespace ZododuvoZoz {

void GrowingBarPlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    removeBars();
    if (data().empty()) return;
    drawBars(layer, max, bottomOffset, !animationDuration_ || mAlreadyAnimated_);
}

void GrowingBarPlotter::clear() {
    removeBars();
    forgetSeries();
}

void GrowingBarPlotter::animate(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    if (!layer || !animationDuration_ || !timingFunction_ || mAlreadyAnimated_) return;
    const auto& shapes = growingLayers();
    for (std::size_t i = 0; i < shapes.size() && i < data().size(); ++i) {
        if (!shapes[i]) continue;
        auto path = barPath(*layer, i, max, bottomOffset, true);
        shapes[i]->add(BarDrawing::growAnimation(*path, *animationDuration_, *timingFunction_), "path");
    }
    mAlreadyAnimated_ = true;
}

}  // namespace ZododuvoZoz
