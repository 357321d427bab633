#pragma once
// Square bars filled with a vertical gradient of `colors`, placed as BarPlotter's (0.8 of their
// slot). A value of 0 gets no bar; an absent value, and every bar still to grow, a one-point bar.
// Grows like BarPlotter.
#include <memory>
#include <vector>

#include "ZododuvoZoz/Graph/MaskedGradientBarPlotter.hpp"

namespace ZododuvoZoz {

class GradientBarPlotter : public MaskedGradientBarPlotter {
public:
    explicit GradientBarPlotter(const std::vector<std::shared_ptr<NSColor>>& colors);
    static std::shared_ptr<GradientBarPlotter> make(const std::vector<std::shared_ptr<NSColor>>& colors) {
        return std::make_shared<GradientBarPlotter>(colors);
    }

    /// 2 device pixels; kept for callers.
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }

    void markAnimated() { mAlreadyAnimated_ = true; }

private:
    CGFloat lineWidth_;
};

}  // namespace ZododuvoZoz
