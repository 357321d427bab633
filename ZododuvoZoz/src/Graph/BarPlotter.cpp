#include "ZododuvoZoz/Graph/BarPlotter.hpp"

#include "BarDrawing.hpp"

namespace ZododuvoZoz {
namespace {
constexpr CGFloat kInset = 0.1;
constexpr CGFloat kShare = 0.8;
}  // namespace

std::shared_ptr<NSBezierPath> BarPlotter::barPath(const CALayer& layer, std::size_t index, CGFloat max,
                                                  CGFloat bottomOffset, bool full) const {
    auto slot = BarDrawing::slot(layer, data().size(), index, kInset, kShare);
    return BarDrawing::barPath(layer, slot, data()[index], max, bottomOffset, full);
}

}  // namespace ZododuvoZoz
