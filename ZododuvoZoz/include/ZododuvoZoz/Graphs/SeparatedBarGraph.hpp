#pragma once
// Two series of values drawn around a horizontal middle line in the view's drawing pass: the
// upper series as bars rising from it, the lower series as bars hanging from it, each scaled
// against its own maximum. While the pointer is inside, a grid and a column of five legend texts
// appear on the left and the bars make room for that column. The view is not flipped.
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "AppKit/NSView.hpp"
#include "ZododuvoZoz/Graphs/GraphCanvas.hpp"

namespace ZododuvoZoz {

class SeparatedBarGraph : public NSView {
public:
    /// The view tracks the pointer over its bounds with one area; an area made here is the view's
    /// once it is in a tree, and make() gives it to the view at once.
    explicit SeparatedBarGraph(CGRect frame = {});
    static std::shared_ptr<SeparatedBarGraph> make(CGRect frame = {});

    // Every setter below marks the whole view as needing display.
    /// The values that fill the upper and the lower half (2048 each).
    virtual CGFloat maxTop() const { return maxTop_; }
    virtual void setMaxTop(CGFloat value);
    virtual CGFloat maxBottom() const { return maxBottom_; }
    virtual void setMaxBottom(CGFloat value);
    /// Whether the pointer is inside the view.
    virtual bool mouseEntered() const { return mouseEntered_; }
    /// The width of the legend column shown while the pointer is inside (64).
    virtual CGFloat mouseOffset() const { return mouseOffset_; }
    virtual void setMouseOffset(CGFloat offset);
    virtual const std::vector<CGFloat>& dataTop() const { return dataTop_; }
    virtual void setDataTop(const std::vector<CGFloat>& data);
    virtual const std::vector<CGFloat>& dataBottom() const { return dataBottom_; }
    virtual void setDataBottom(const std::vector<CGFloat>& data);
    /// Outline colours of the upper (plain green) and lower (plain red) bars; their red, green and
    /// blue with `colorAlpha` fill them.
    virtual std::shared_ptr<NSColor> upperColor() const { return upperColor_; }
    virtual void setUpperColor(const std::shared_ptr<NSColor>& color);
    virtual std::shared_ptr<NSColor> lowerColor() const { return lowerColor_; }
    virtual void setLowerColor(const std::shared_ptr<NSColor>& color);
    virtual CGFloat colorAlpha() const { return colorAlpha_; }
    virtual void setColorAlpha(CGFloat alpha);
    /// Texts for the top, the upper quarter, the middle, the bottom and the lower quarter line,
    /// drawn only when there are exactly five.
    virtual const std::vector<std::string>& legendLabelsY() const { return legendLabelsY_; }
    virtual void setLegendLabelsY(const std::vector<std::string>& labels);

    /// A new size replaces the tracking area with one over the new bounds.
    void setFrame(const CGRect& frame) override;
    void viewDidMoveToSuperview() override;
    void draw(const CGRect& dirtyRect) override;
    /// One drawing pass onto the canvas.
    void draw(GraphCanvas& canvas);
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;

    virtual void drawGrid(GraphCanvas& canvas);
    virtual void drawLegend(GraphCanvas& canvas);
    virtual void drawTopBars(GraphCanvas& canvas);
    virtual void drawBottomBars(GraphCanvas& canvas);
    virtual void drawBaseline(GraphCanvas& canvas);

private:
    void installTrackingArea();
    CGFloat inset() const { return mouseEntered_ ? mouseOffset() : 0; }
    void drawBars(GraphCanvas& canvas, const std::vector<CGFloat>& values, CGFloat maximum,
                  const std::shared_ptr<NSColor>& color, bool upwards);

    std::shared_ptr<NSTrackingArea> area_;
    CGFloat maxTop_ = 2048;
    CGFloat maxBottom_ = 2048;
    bool mouseEntered_ = false;
    CGFloat mouseOffset_ = 64;
    std::vector<CGFloat> dataTop_;
    std::vector<CGFloat> dataBottom_;
    std::shared_ptr<NSColor> upperColor_;
    std::shared_ptr<NSColor> lowerColor_;
    CGFloat colorAlpha_ = 0.5;
    std::vector<std::string> legendLabelsY_;
};

}  // namespace ZododuvoZoz
