#pragma once
// A bar of coloured segments laid side by side from the left over a rounded background. Each
// segment's value is its width as a fraction of the bar's width; values are not normalised, so
// segments summing to less than 1 leave background showing at the right and what passes 1 is cut
// off. Every layout throws the old layers away and makes new ones; colours follow the appearance.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

struct StackedSegment {
    CGFloat value = 0;
    std::shared_ptr<NSColor> color;
};

class StackedSegmentView : public NSView {
public:
    explicit StackedSegmentView(CGRect frame = {});
    static std::shared_ptr<StackedSegmentView> make(CGRect frame = {}) {
        return std::make_shared<StackedSegmentView>(frame);
    }

    /// The layers the last layout drew: the background, then one per segment.
    const std::vector<std::shared_ptr<CALayer>>& layers() const { return layers_; }

    // Each setter stores the value and lays the bar out at once.
    /// The separator colour by default.
    virtual std::shared_ptr<NSColor> backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(const std::shared_ptr<NSColor>& color);
    /// 8 points.
    virtual CGFloat cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(CGFloat radius);
    virtual const std::vector<StackedSegment>& segments() const { return segments_; }
    virtual void setSegments(const std::vector<StackedSegment>& segments);

    void layout() override;
    void viewDidChangeEffectiveAppearance() override;
    virtual void redraw();
    virtual void drawBackground();
    virtual void drawSegments();

private:
    std::shared_ptr<CAShapeLayer> filledLayer(const std::shared_ptr<NSColor>& color, const CGPath& path);

    std::vector<std::shared_ptr<CALayer>> layers_;
    std::shared_ptr<NSColor> backgroundColor_ = NSColor::separatorColor();
    CGFloat cornerRadius_ = 8;
    std::vector<StackedSegment> segments_;
};

}  // namespace ZododuvoZoz
