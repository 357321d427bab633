#pragma once
// A button drawn with layers: a gradient running from its left edge to its right, rounded by the
// view's corner radius, with a white title. It shrinks a little while pressed, enabled or not.
#include <functional>
#include <memory>
#include <vector>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz {

class GradientButton : public NSButton {
public:
    /// Builds the layers and draws them at once.
    explicit GradientButton(CGRect frame = {});
    static std::shared_ptr<GradientButton> make(CGRect frame = {}) { return std::make_shared<GradientButton>(frame); }

    /// The gradient's mask: a plain rectangle over the bounds, never a sublayer.
    const std::shared_ptr<CAShapeLayer>& maskingLayer() const { return maskingLayer_; }
    const std::shared_ptr<CAGradientLayer>& gradientLayer() const { return gradientLayer_; }
    const std::shared_ptr<CATextLayer>& textLayer() const { return textLayer_; }

    /// The gradient's colours from left to right: teal, then cyan. Setting them redraws.
    virtual std::vector<std::shared_ptr<NSColor>> colors() const { return colors_; }
    virtual void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// 16 points. Setting it rounds the view's layer, which clips the gradient, at once.
    virtual CGFloat cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(CGFloat radius);

    /// Enables or disables the button and redraws.
    void setEnabled(bool enabled) override;

    /// Redraws: the gradient, then the title.
    virtual void setup();
    virtual void drawBackground();
    virtual void drawText();
    virtual void scaleDown();
    virtual void scaleUp();

    void layout() override;
    void mouseDown(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    /// Draws nothing: the layers show the button.
    void draw(const CGRect& dirtyRect) override;

private:
    std::shared_ptr<CAShapeLayer> maskingLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAGradientLayer> gradientLayer_ = CAGradientLayer::make();
    std::shared_ptr<CATextLayer> textLayer_ = CATextLayer::make();
    std::vector<std::shared_ptr<NSColor>> colors_;
    CGFloat cornerRadius_ = 16;
    std::function<void()> afterPress_;
};

}  // namespace ZododuvoZoz
