#pragma once
// Square bars filled with a vertical gradient of `colors`, placed as BarPlotter's (0.8 of their
// slot). A value of 0 gets no bar; an absent value, and every bar still to grow, a one-point bar.
// Grows like BarPlotter.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAMediaTimingFunction.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class GradientBarPlotter : public SeriesPlotter, public IAnimatable {
public:
    explicit GradientBarPlotter(const std::vector<std::shared_ptr<NSColor>>& colors);
    static std::shared_ptr<GradientBarPlotter> make(const std::vector<std::shared_ptr<NSColor>>& colors) {
        return std::make_shared<GradientBarPlotter>(colors);
    }

    // IDataPlotter and IAnimatable; the minimum is not used.
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    void clear() override;
    void animate(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;

    std::optional<double> animationDuration() const { return animationDuration_; }
    void setAnimationDuration(std::optional<double> seconds) { animationDuration_ = seconds; }
    std::optional<CAMediaTimingFunctionName> timingFunction() const { return timingFunction_; }
    void setTimingFunction(std::optional<CAMediaTimingFunctionName> name) { timingFunction_ = name; }
    /// Kept for callers; the gradient is drawn at full strength.
    CGFloat fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(CGFloat alpha) { fillAlpha_ = alpha; }
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors) { colors_ = colors; }
    /// 2 device pixels; kept for callers.
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }

    void markAnimated() { mAlreadyAnimated_ = true; }

    /// The masks and gradients of the last pass, one entry per sample.
    const std::vector<std::shared_ptr<CAShapeLayer>>& maskingLayers() const { return maskingLayers_; }
    const std::vector<std::shared_ptr<CAGradientLayer>>& gradientLayers() const { return gradientLayers_; }

private:
    std::vector<std::shared_ptr<CAShapeLayer>> maskingLayers_;
    std::vector<std::shared_ptr<CAGradientLayer>> gradientLayers_;
    bool mAlreadyAnimated_ = false;
    std::optional<double> animationDuration_;
    std::optional<CAMediaTimingFunctionName> timingFunction_;
    CGFloat fillAlpha_ = 0.75;
    std::vector<std::shared_ptr<NSColor>> colors_;
    CGFloat lineWidth_;
};

}  // namespace ZododuvoZoz
