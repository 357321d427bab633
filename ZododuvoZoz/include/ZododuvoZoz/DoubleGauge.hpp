#pragma once
// Two concentric 270-degree ring gauges, open at the bottom: value1 with colorInner on the larger
// ring, value2 with colorOuter on the smaller one inside it. Four shape layers made once and set
// up again on every layout; values are shown as given, not clamped.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

class DoubleGauge : public NSView {
public:
    explicit DoubleGauge(CGRect frame = {});
    static std::shared_ptr<DoubleGauge> make(CGRect frame = {}) { return std::make_shared<DoubleGauge>(frame); }

    const std::shared_ptr<CAShapeLayer>& backgroundLayerInner() const { return backgroundLayerInner_; }
    const std::shared_ptr<CAShapeLayer>& backgroundLayerOuter() const { return backgroundLayerOuter_; }
    const std::shared_ptr<CAShapeLayer>& progressLayerInner() const { return progressLayerInner_; }
    const std::shared_ptr<CAShapeLayer>& progressLayerOuter() const { return progressLayerOuter_; }

    // Every setter stores the value and lays the gauge out at once, also when it is unchanged.
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    virtual CGFloat value1() const { return value1_; }
    virtual void setValue1(CGFloat value);
    virtual CGFloat value2() const { return value2_; }
    virtual void setValue2(CGFloat value);
    /// The system separator colour by default.
    virtual std::shared_ptr<NSColor> colorInner() const { return colorInner_; }
    virtual void setColorInner(const std::shared_ptr<NSColor>& color);
    virtual std::shared_ptr<NSColor> colorOuter() const { return colorOuter_; }
    virtual void setColorOuter(const std::shared_ptr<NSColor>& color);

    void awakeFromNib() override;
    void layout() override;
    virtual void drawBackgroundInner();
    virtual void drawBackgroundOuter();
    virtual void drawProgressInner();
    virtual void drawProgressOuter();

private:
    void configure(CAShapeLayer& layer, const std::shared_ptr<NSColor>& color, const CGPath& path);

    std::shared_ptr<CAShapeLayer> backgroundLayerInner_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> backgroundLayerOuter_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> progressLayerInner_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> progressLayerOuter_ = CAShapeLayer::make();
    CGFloat lineWidth_ = 5;
    CGFloat value1_ = 0;
    CGFloat value2_ = 0;
    std::shared_ptr<NSColor> colorInner_ = NSColor::separatorColor();
    std::shared_ptr<NSColor> colorOuter_ = NSColor::separatorColor();
};

}  // namespace ZododuvoZoz
