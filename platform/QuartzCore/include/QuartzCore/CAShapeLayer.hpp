#pragma once
// A layer that fills and strokes a path: opaque black fill and no stroke unless told otherwise.
// strokeStart and strokeEnd show a part of the stroke, as fractions of the path's length.
#include <optional>
#include <vector>

#include "QuartzCore/CALayer.hpp"

enum class CAShapeLayerFillRule { nonZero, evenOdd };
enum class CAShapeLayerLineCap { butt, round, square };
enum class CAShapeLayerLineJoin { miter, round, bevel };

class CAShapeLayer : public CALayer {
public:
    static std::shared_ptr<CAShapeLayer> make() { return std::make_shared<CAShapeLayer>(); }

    const std::optional<CGPath>& path() const { return path_; }
    void setPath(const std::optional<CGPath>& path) { change(path_, path); }
    const std::optional<CGColor>& fillColor() const { return fillColor_; }
    void setFillColor(const std::optional<CGColor>& color) { change(fillColor_, color); }
    CAShapeLayerFillRule fillRule() const { return fillRule_; }
    void setFillRule(CAShapeLayerFillRule rule) { change(fillRule_, rule); }
    const std::optional<CGColor>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(const std::optional<CGColor>& color) { change(strokeColor_, color); }
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { change(lineWidth_, width); }
    CAShapeLayerLineCap lineCap() const { return lineCap_; }
    void setLineCap(CAShapeLayerLineCap cap) { change(lineCap_, cap); }
    CAShapeLayerLineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(CAShapeLayerLineJoin join) { change(lineJoin_, join); }
    CGFloat miterLimit() const { return miterLimit_; }
    void setMiterLimit(CGFloat limit) { change(miterLimit_, limit); }
    const std::vector<CGFloat>& lineDashPattern() const { return lineDashPattern_; }
    void setLineDashPattern(const std::vector<CGFloat>& pattern) { change(lineDashPattern_, pattern); }
    CGFloat lineDashPhase() const { return lineDashPhase_; }
    void setLineDashPhase(CGFloat phase) { change(lineDashPhase_, phase); }
    CGFloat strokeStart() const { return strokeStart_; }
    void setStrokeStart(CGFloat start) { change(strokeStart_, start); }
    CGFloat strokeEnd() const { return strokeEnd_; }
    void setStrokeEnd(CGFloat end) { change(strokeEnd_, end); }

    void draw(CGContext& context) override;

protected:
    CGRect ownDrawingBounds() const override;

private:
    std::optional<CGPath> path_;
    std::optional<CGColor> fillColor_ = CGColor::black();
    CAShapeLayerFillRule fillRule_ = CAShapeLayerFillRule::nonZero;
    std::optional<CGColor> strokeColor_;
    CGFloat lineWidth_ = 1;
    CAShapeLayerLineCap lineCap_ = CAShapeLayerLineCap::butt;
    CAShapeLayerLineJoin lineJoin_ = CAShapeLayerLineJoin::miter;
    CGFloat miterLimit_ = 10;
    std::vector<CGFloat> lineDashPattern_;
    CGFloat lineDashPhase_ = 0;
    CGFloat strokeStart_ = 0;
    CGFloat strokeEnd_ = 1;
};
