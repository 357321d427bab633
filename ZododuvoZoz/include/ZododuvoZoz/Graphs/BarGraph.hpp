#pragma once
// A bar chart of whole numbers drawn in the view's drawing pass: outlined, half-transparent bars
// standing on the bottom offset, over a framed grid of four steps, with a scale of five numbers on
// the left rounded up to the next hundred above the largest value, and optionally a label under
// each bar. The view is not flipped: y grows upwards.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "ZododuvoZoz/Graphs/GraphCanvas.hpp"

namespace ZododuvoZoz {

class BarGraph : public NSView {
public:
    explicit BarGraph(CGRect frame = {});
    static std::shared_ptr<BarGraph> make(CGRect frame = {}) { return std::make_shared<BarGraph>(frame); }

    // Insets; changing one alone does not redraw.
    virtual CGFloat leftOffset() const { return leftOffset_; }
    virtual void setLeftOffset(CGFloat offset) { leftOffset_ = offset; }
    virtual CGFloat topOffset() const { return topOffset_; }
    virtual void setTopOffset(CGFloat offset) { topOffset_ = offset; }
    virtual CGFloat bottomOffset() const { return bottomOffset_; }
    virtual void setBottomOffset(CGFloat offset) { bottomOffset_ = offset; }

    /// The bars' outline colour (plain red); its red, green and blue with `alpha` fill them.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    virtual CGFloat alpha() const { return alpha_; }
    virtual void setAlpha(CGFloat alpha);
    /// The outline width, also used to offset grid lines.
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    /// One bar per value.
    virtual const std::vector<std::int32_t>& data() const { return data_; }
    virtual void setData(const std::vector<std::int32_t>& data);
    /// One text per bar, drawn only when there are as many as values; setting them does not redraw.
    virtual const std::vector<std::string>& labels() const { return labels_; }
    virtual void setLabels(const std::vector<std::string>& labels) { labels_ = labels; }

    void draw(const CGRect& dirtyRect) override;
    /// One drawing pass onto the canvas.
    void draw(GraphCanvas& canvas);
    virtual void drawGrid(GraphCanvas& canvas, CGFloat height);
    virtual void drawScale(GraphCanvas& canvas, CGFloat height, std::int32_t maximum);

private:
    /// The value at the top of the scale: 100 without a positive value, else the next multiple
    /// of 100 above the largest value.
    std::int32_t scaleMaximum() const;

    CGFloat leftOffset_ = 48;
    CGFloat topOffset_ = 16;
    CGFloat bottomOffset_ = 16;
    std::shared_ptr<NSColor> color_;
    CGFloat alpha_ = 0.5;
    CGFloat lineWidth_ = 1.0;
    std::vector<std::int32_t> data_;
    std::vector<std::string> labels_;
};

}  // namespace ZododuvoZoz
