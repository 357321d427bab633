#pragma once
// Pairs of unsigned values drawn as a left and a right bar side by side over a framed grid, with
// up to five texts on the value axis and a text under each pair, in the view's drawing pass. The
// value axis runs to a maximum made from the largest value: its leading digit raised by one,
// scaled by a power of 1024 for every factor of 1000. The pair under the pointer is selected and
// shown on a highlighted column with an optional image (a delete mark) at its top; the host hears
// of selection changes and of clicks on the image. The view is not flipped: y grows upwards.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "AppKit/NSView.hpp"
#include "ZododuvoZoz/Graphs/GraphCanvas.hpp"

namespace ZododuvoZoz {

class DoubleBarGraph : public NSView {
public:
    using Pair = std::pair<std::uint64_t, std::uint64_t>;

    /// The view tracks the pointer over its bounds with one area, made anew on every layout; an
    /// area made here is the view's once it is in a tree, and make() gives it to the view at once.
    explicit DoubleBarGraph(CGRect frame = {});
    static std::shared_ptr<DoubleBarGraph> make(CGRect frame = {});

    // Every setter below marks the whole view as needing display.
    virtual CGFloat leftOffset() const { return leftOffset_; }
    virtual void setLeftOffset(CGFloat offset);
    virtual CGFloat rightOffset() const { return rightOffset_; }
    virtual void setRightOffset(CGFloat offset);
    virtual CGFloat topOffset() const { return topOffset_; }
    virtual void setTopOffset(CGFloat offset);
    virtual CGFloat bottomOffset() const { return bottomOffset_; }
    virtual void setBottomOffset(CGFloat offset);
    /// Outline colours of the left (plain green) and right (plain red) bars; their red, green and
    /// blue with `colorAlpha` fill them.
    virtual std::shared_ptr<NSColor> colorLeft() const { return colorLeft_; }
    virtual void setColorLeft(const std::shared_ptr<NSColor>& color);
    virtual std::shared_ptr<NSColor> colorRight() const { return colorRight_; }
    virtual void setColorRight(const std::shared_ptr<NSColor>& color);
    /// Drawn in `deleteRect()` at the top of the selected pair; none by default.
    virtual std::shared_ptr<NSImage> interactionImage() const { return interactionImage_; }
    virtual void setInteractionImage(const std::shared_ptr<NSImage>& image);
    virtual CGFloat colorAlpha() const { return colorAlpha_; }
    virtual void setColorAlpha(CGFloat alpha);
    /// One pair of bars per element: the first value on the left, the second on the right.
    virtual const std::vector<Pair>& data() const { return data_; }
    virtual void setData(const std::vector<Pair>& data);
    /// One text under each pair, drawn only when there are as many as pairs.
    virtual const std::vector<std::string>& legendLabelsX() const { return legendLabelsX_; }
    virtual void setLegendLabelsX(const std::vector<std::string>& labels);
    /// The value-axis texts from the bottom up, drawn only when there are exactly five.
    virtual const std::vector<std::string>& legendLabelsY() const { return legendLabelsY_; }
    virtual void setLegendLabelsY(const std::vector<std::string>& labels);
    virtual CGFloat gridLineWidth() const { return gridLineWidth_; }
    virtual void setGridLineWidth(CGFloat width);
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);

    /// The selected pair; none while the pointer is outside the pairs. Always below the number of
    /// pairs when it was set, but data set later may be shorter.
    virtual std::optional<std::size_t> index() const { return index_; }
    /// The 16 × 16 rectangle of the delete image over the selected pair.
    virtual std::optional<CGRect> deleteRect() const { return deleteRect_; }
    virtual bool mouseInDeletionRect() const { return mouseInDeletionRect_; }
    /// Whether the pointer is inside the view.
    virtual bool mouseEntered() const { return mouseEntered_; }

    /// Called when the selection changes or is cleared.
    virtual const std::function<void()>& indexChanged() const { return indexChanged_; }
    virtual void setIndexChanged(std::function<void()> callback) { indexChanged_ = std::move(callback); }
    /// Called when the delete rectangle is clicked.
    virtual const std::function<void()>& clickedInRect() const { return clickedInRect_; }
    virtual void setClickedInRect(std::function<void()> callback) { clickedInRect_ = std::move(callback); }

    /// The top of the value axis.
    virtual std::uint64_t maximumValue() const;

    void layout() override;
    void viewDidMoveToSuperview() override;
    void viewDidChangeEffectiveAppearance() override;
    void draw(const CGRect& dirtyRect) override;
    /// One drawing pass onto the canvas.
    void draw(GraphCanvas& canvas);
    void mouseMoved(const NSEvent& event) override;
    void mouseDown(const NSEvent& event) override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;

    virtual void drawSelection(GraphCanvas& canvas, CGFloat from, CGFloat to);
    virtual void drawGrid(GraphCanvas& canvas, CGFloat height);
    virtual void drawLegendY(GraphCanvas& canvas, CGFloat height);

private:
    void replaceTrackingArea();
    void changed();
    void clearSelection();
    void callIndexChanged() const;

    std::shared_ptr<NSTrackingArea> trackingArea_;
    NSAttributes textFontAttributes_;
    CGFloat leftOffset_ = 64;
    CGFloat rightOffset_ = 16;
    CGFloat topOffset_ = 16;
    CGFloat bottomOffset_ = 16;
    std::shared_ptr<NSColor> colorLeft_;
    std::shared_ptr<NSColor> colorRight_;
    std::shared_ptr<NSImage> interactionImage_;
    CGFloat colorAlpha_ = 0.5;
    std::vector<Pair> data_;
    std::vector<std::string> legendLabelsX_;
    std::vector<std::string> legendLabelsY_;
    CGFloat gridLineWidth_ = 0.5;
    CGFloat lineWidth_ = 1.0;
    std::optional<std::size_t> index_;
    std::optional<CGRect> deleteRect_;
    bool mouseInDeletionRect_ = false;
    bool mouseEntered_ = false;
    std::function<void()> indexChanged_;
    std::function<void()> clickedInRect_;
};

}  // namespace ZododuvoZoz
