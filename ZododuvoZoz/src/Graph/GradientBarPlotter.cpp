#include "ZododuvoZoz/Graph/GradientBarPlotter.hpp"

#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

GradientBarPlotter::GradientBarPlotter(const std::vector<std::shared_ptr<NSColor>>& colors)
    : MaskedGradientBarPlotter(colors, {0.1, 0.8, false}), lineWidth_(2 * Constants::onePixel()) {}

}  // namespace ZododuvoZoz
