#pragma once
// Bars like BarPlotter's, `offset` points apart, each coloured on its own: from a list of colours
// (one per sample when the counts agree, else the first colour), or by the first colour range that
// holds the sample's value (system blue when none does).
#include <memory>
#include <vector>

#include "ZododuvoZoz/Graph/ColorRange.hpp"
#include "ZododuvoZoz/Graph/ShapeBarPlotter.hpp"

namespace ZododuvoZoz {

class MultiColorBarPlotter : public ShapeBarPlotter {
public:
    /// Colours by the list (mode array).
    explicit MultiColorBarPlotter(const std::vector<std::shared_ptr<NSColor>>& colors)
        : colors_(colors), coloringMode_(ColoringMode::array) {}
    /// Colours by the ranges (mode ranges).
    explicit MultiColorBarPlotter(const std::vector<std::shared_ptr<ColorRange>>& colorRanges)
        : colorRanges_(colorRanges), coloringMode_(ColoringMode::ranges) {}
    static std::shared_ptr<MultiColorBarPlotter> make(const std::vector<std::shared_ptr<NSColor>>& colors) {
        return std::make_shared<MultiColorBarPlotter>(colors);
    }
    static std::shared_ptr<MultiColorBarPlotter> make(const std::vector<std::shared_ptr<ColorRange>>& colorRanges) {
        return std::make_shared<MultiColorBarPlotter>(colorRanges);
    }

    /// The gap between neighbouring bars (4 points).
    CGFloat offset() const { return offset_; }
    void setOffset(CGFloat offset) { offset_ = offset; }
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors) { colors_ = colors; }
    const std::vector<std::shared_ptr<ColorRange>>& colorRanges() const { return colorRanges_; }
    void setColorRanges(const std::vector<std::shared_ptr<ColorRange>>& ranges) { colorRanges_ = ranges; }
    ColoringMode coloringMode() const { return coloringMode_; }
    void setColoringMode(ColoringMode mode) { coloringMode_ = mode; }

    /// Lets the bars grow again: the next pass draws one-point bars (with a duration) and the next
    /// `animate` grows them.
    void resetAnimation() { mAlreadyAnimated_ = false; }

private:
    std::shared_ptr<NSBezierPath> barPath(const CALayer& layer, std::size_t index, CGFloat max, CGFloat bottomOffset,
                                          bool full) const override;
    std::shared_ptr<NSColor> barColor(std::size_t index) const override;

    CGFloat offset_ = 4.0;
    std::vector<std::shared_ptr<NSColor>> colors_;
    std::vector<std::shared_ptr<ColorRange>> colorRanges_;
    ColoringMode coloringMode_;
};

}  // namespace ZododuvoZoz
