#pragma once
// Bars as capsules (rounded to half their width) filled with a vertical gradient of `colors`, 0.6
// of their slot wide. A value of 0 is a one-point capsule; an absent value, and every bar still to
// grow, a one-point rectangle. Grows like BarPlotter.
#include <memory>
#include <vector>

#include "ZododuvoZoz/Graph/MaskedGradientBarPlotter.hpp"

namespace ZododuvoZoz {

class CapsulePlotter : public MaskedGradientBarPlotter {
public:
    explicit CapsulePlotter(const std::vector<std::shared_ptr<NSColor>>& colors)
        : MaskedGradientBarPlotter(colors, {0.2, 0.6, true}) {}
    static std::shared_ptr<CapsulePlotter> make(const std::vector<std::shared_ptr<NSColor>>& colors) {
        return std::make_shared<CapsulePlotter>(colors);
    }

    void markAnimated() { mAlreadyAnimated_ = true; }
};

}  // namespace ZododuvoZoz
