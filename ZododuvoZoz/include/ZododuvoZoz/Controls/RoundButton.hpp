#pragma once
// A solid button drawn with layers: a rectangle with corners of 4 points filled with its colour,
// a white title and an optional image over it. While enabled it shrinks a little when pressed;
// while disabled it ignores presses entirely.
#include <functional>
#include <memory>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz {

class RoundButton : public NSButton {
public:
    /// Builds the layers and draws them at once.
    explicit RoundButton(CGRect frame = {});
    static std::shared_ptr<RoundButton> make(CGRect frame = {}) { return std::make_shared<RoundButton>(frame); }

    const std::shared_ptr<CATextLayer>& textLayer() const { return textLayer_; }
    const std::shared_ptr<CALayer>& imageLayer() const { return imageLayer_; }
    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }

    /// The fill: the system blue. Setting it redraws.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    /// Drawn over the title, in the middle; none. Setting it redraws.
    virtual std::shared_ptr<NSImage> customImage() const { return customImage_; }
    virtual void setCustomImage(const std::shared_ptr<NSImage>& image);

    /// Redraws.
    virtual void setup();
    /// The background, the title, then the image.
    virtual void redraw();
    virtual void drawImage();
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
    std::shared_ptr<CATextLayer> textLayer_ = CATextLayer::make();
    std::shared_ptr<CALayer> imageLayer_ = CALayer::make();
    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    std::shared_ptr<NSColor> color_ = NSColor::systemBlueColor();
    std::shared_ptr<NSImage> customImage_;
    std::function<void()> afterPress_;
};

}  // namespace ZododuvoZoz
