#include "ZododuvoZoz/Graph/MultiColorBarPlotter.hpp"

#include "BarDrawing.hpp"

namespace ZododuvoZoz {

std::shared_ptr<NSColor> MultiColorBarPlotter::barColor(std::size_t index) const {
    switch (coloringMode_) {
        case ColoringMode::array:
            if (colors_.empty()) return nullptr;
            return colors_.size() == data().size() ? colors_[index] : colors_.front();
        case ColoringMode::ranges: {
            const auto& sample = data()[index];
            if (!sample) return nullptr;
            auto range = BarDrawing::rangeHolding(colorRanges_, *sample);
            return range ? range->color() : NSColor::systemBlueColor();
        }
    }
    return nullptr;
}

std::shared_ptr<NSBezierPath> MultiColorBarPlotter::barPath(const CALayer& layer, std::size_t index, CGFloat max,
                                                            CGFloat bottomOffset, bool full) const {
    // The whole slot, less half the gap on each side.
    auto slot = BarDrawing::slot(layer, data().size(), index, 0, 1);
    slot.x += offset_ / 2;
    slot.width -= offset_;
    return BarDrawing::barPath(layer, slot, data()[index], max, bottomOffset, full);
}

}  // namespace ZododuvoZoz
