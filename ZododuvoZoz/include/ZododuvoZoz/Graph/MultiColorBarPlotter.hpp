#pragma once
// Bars like BarPlotter's, `offset` points apart, each coloured on its own: from a list of colours
// (one per sample when the counts agree, else the first colour), or by the first colour range that
// holds the sample's value (system blue when none does).
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAMediaTimingFunction.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/ColorRange.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class MultiColorBarPlotter : public SeriesPlotter, public IAnimatable {
public:
    /// Colours by the list (mode array).
    explicit MultiColorBarPlotter(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// Colours by the ranges (mode ranges).
    explicit MultiColorBarPlotter(const std::vector<std::shared_ptr<ColorRange>>& colorRanges);
    static std::shared_ptr<MultiColorBarPlotter> make(const std::vector<std::shared_ptr<NSColor>>& colors) {
        return std::make_shared<MultiColorBarPlotter>(colors);
    }
    static std::shared_ptr<MultiColorBarPlotter> make(const std::vector<std::shared_ptr<ColorRange>>& colorRanges) {
        return std::make_shared<MultiColorBarPlotter>(colorRanges);
    }

    // IDataPlotter and IAnimatable; the minimum is not used.
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    void clear() override;
    void animate(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;

    std::optional<double> animationDuration() const { return animationDuration_; }
    void setAnimationDuration(std::optional<double> seconds) { animationDuration_ = seconds; }
    std::optional<CAMediaTimingFunctionName> timingFunction() const { return timingFunction_; }
    void setTimingFunction(std::optional<CAMediaTimingFunctionName> name) { timingFunction_ = name; }
    /// The gap between neighbouring bars (4 points).
    CGFloat offset() const { return offset_; }
    void setOffset(CGFloat offset) { offset_ = offset; }
    CGFloat fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(CGFloat alpha) { fillAlpha_ = alpha; }
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors) { colors_ = colors; }
    const std::vector<std::shared_ptr<ColorRange>>& colorRanges() const { return colorRanges_; }
    void setColorRanges(const std::vector<std::shared_ptr<ColorRange>>& ranges) { colorRanges_ = ranges; }
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    ColoringMode coloringMode() const { return coloringMode_; }
    void setColoringMode(ColoringMode mode) { coloringMode_ = mode; }

    /// Lets the bars grow again: the next pass draws one-point bars (with a duration) and the next
    /// `animate` grows them.
    void resetAnimation() { mAlreadyAnimated_ = false; }

    const std::vector<std::shared_ptr<CAShapeLayer>>& barLayers() const { return barLayers_; }

private:
    std::shared_ptr<NSColor> colorOf(std::size_t index) const;
    std::shared_ptr<CAShapeLayer> makeBar(const std::shared_ptr<CALayer>& layer, std::size_t index, CGFloat max,
                                          CGFloat bottomOffset, bool full) const;

    std::vector<std::shared_ptr<CAShapeLayer>> barLayers_;
    bool mAlreadyAnimated_ = false;
    std::optional<double> animationDuration_;
    std::optional<CAMediaTimingFunctionName> timingFunction_;
    CGFloat offset_ = 4.0;
    CGFloat fillAlpha_ = 0.75;
    std::vector<std::shared_ptr<NSColor>> colors_;
    std::vector<std::shared_ptr<ColorRange>> colorRanges_;
    CGFloat lineWidth_;
    ColoringMode coloringMode_;
};

}  // namespace ZododuvoZoz
