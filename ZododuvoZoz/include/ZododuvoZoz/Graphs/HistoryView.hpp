#pragma once
// A history of samples as columns of ten square cells, one column per sample from the left: a
// sample lights as many cells, counted from the bottom, as tenths of `max` it reaches. Unlit cells
// show the background colour; lit cells show a vertical gradient through them. Drawn with layers:
// a shape layer of all cells, and a gradient layer masked by a shape layer of the lit cells.
#include <cstddef>
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

class HistoryView : public NSView {
public:
    explicit HistoryView(CGRect frame = {});
    static std::shared_ptr<HistoryView> make(CGRect frame = {}) { return std::make_shared<HistoryView>(frame); }

    // Setting length, backColor, offset, data or max rebuilds the cells unless the view is locked.
    /// The side of one square cell (3).
    virtual CGFloat length() const { return length_; }
    virtual void setLength(CGFloat length);
    /// The fill of the background cells (the tertiary label colour).
    virtual std::shared_ptr<NSColor> backColor() const { return backColor_; }
    virtual void setBackColor(const std::shared_ptr<NSColor>& color);
    /// The gap between neighbouring cells, across and up (2).
    virtual CGFloat offset() const { return offset_; }
    virtual void setOffset(CGFloat offset);
    /// The samples, one column each from the left.
    virtual const std::vector<CGFloat>& data() const { return data_; }
    virtual void setData(const std::vector<CGFloat>& data);
    /// The gradient's colours, the first at the top; setting them recolours the gradient at once,
    /// locked or not, without rebuilding the cells.
    virtual const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    virtual void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// The sample value that lights all ten cells (100).
    virtual CGFloat max() const { return max_; }
    virtual void setMax(CGFloat max);

    /// The height of one column: ten cells and the nine gaps between them.
    virtual CGFloat preferredHeight() const;
    /// The width of the columns of all samples, each with the gap after it.
    virtual CGFloat preferredWidth() const;

    /// Rebuilds the cells unless locked.
    virtual void update();
    /// Until unlock(), property changes only store their values.
    virtual void lock();
    /// Rebuilds the cells once for all changes made while locked.
    virtual void unlock();

    void layout() override;
    void viewDidChangeEffectiveAppearance() override;

    /// Rebuilds the background cells when the number of samples changed since the last time, and
    /// cells already built when the cell size, the gap, the bounds or the appearance changed.
    virtual void drawBackground();
    virtual void setupGradient();
    /// Masks the gradient with the lit cells.
    virtual void drawHistory();

    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
    const std::shared_ptr<CAGradientLayer>& gradientLayer() const { return gradientLayer_; }

private:
    void redraw();
    void rebuild();
    CGRect cell(std::size_t sample, std::size_t row) const;

    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAGradientLayer> gradientLayer_ = CAGradientLayer::make();
    std::size_t oldDataCount_ = 0;
    // What the background cells were last built for.
    struct Geometry {
        CGFloat length = 0, offset = 0;
        CGRect bounds;
        bool operator==(const Geometry&) const = default;
    };
    Geometry backgroundGeometry_;
    bool backgroundIsStale_ = false;
    bool isLocked_ = false;
    CGFloat length_ = 3;
    std::shared_ptr<NSColor> backColor_;
    CGFloat offset_ = 2;
    std::vector<CGFloat> data_;
    std::vector<std::shared_ptr<NSColor>> colors_;
    CGFloat max_ = 100;
};

}  // namespace ZododuvoZoz
