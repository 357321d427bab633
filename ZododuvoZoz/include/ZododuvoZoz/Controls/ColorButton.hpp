#pragma once
// A button drawn with layers: a rounded outline (or fill) in its colour with its title in the
// middle. It shrinks a little while pressed, enabled or not. Clicks reach its target and action.
#include <functional>
#include <memory>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz {

class ColorButton : public NSButton {
public:
    /// Builds the layers and draws them at once.
    explicit ColorButton(CGRect frame = {});
    static std::shared_ptr<ColorButton> make(CGRect frame = {}) { return std::make_shared<ColorButton>(frame); }

    /// Draws the title.
    const std::shared_ptr<CATextLayer>& textLayer() const { return textLayer_; }
    /// The rounded outline or fill.
    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }

    /// Whether the rounded shape is filled with the colour; false. Setting it redraws.
    virtual bool fill() const { return fill_; }
    virtual void setFill(bool fill);
    /// The outline's width in points; 4. Setting it redraws.
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    /// Outline, fill and (without a text colour) title colour; the accent colour. Setting it redraws.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    /// The title's colour; none, which means the colour. Setting it redraws.
    virtual std::shared_ptr<NSColor> textColor() const { return textColor_; }
    virtual void setTextColor(const std::shared_ptr<NSColor>& color);
    /// 8 points. Setting it rounds the view's layer at once; the shape follows at the next redraw.
    virtual CGFloat cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(CGFloat radius);

    /// Enables or disables the button and redraws.
    void setEnabled(bool enabled) override;

    /// Redraws: the background, then the title. The title and font are shown from the next redraw.
    virtual void setup();
    virtual void drawBackground();
    virtual void drawText();
    /// The pressed and released sizes of the press animation.
    virtual void scaleDown();
    virtual void scaleUp();

    void layout() override;
    void mouseDown(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    /// Draws nothing: the layers show the button.
    void draw(const CGRect& dirtyRect) override;

private:
    std::shared_ptr<CATextLayer> textLayer_ = CATextLayer::make();
    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    bool fill_ = false;
    CGFloat lineWidth_ = 4;
    std::shared_ptr<NSColor> color_ = NSColor::controlAccentColor();
    std::shared_ptr<NSColor> textColor_;
    CGFloat cornerRadius_ = 8;
    std::function<void()> afterPress_;
};

}  // namespace ZododuvoZoz
