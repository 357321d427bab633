#pragma once
// A soft button drawn with layers: its own layer is filled with its colour at low opacity, and it
// shows its title in the full colour or, when the title is empty, its image tinted with the colour.
// Paddings enlarge the size it asks for. While enabled it shrinks a little when pressed; while
// disabled it ignores presses entirely.
#include <functional>
#include <memory>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz {

class HierarchicalButton : public NSButton {
public:
    /// Builds the layers and draws them at once.
    explicit HierarchicalButton(CGRect frame = {});
    static std::shared_ptr<HierarchicalButton> make(CGRect frame = {}) {
        return std::make_shared<HierarchicalButton>(frame);
    }

    const std::shared_ptr<CATextLayer>& textLayer() const { return textLayer_; }
    const std::shared_ptr<CALayer>& imageLayer() const { return imageLayer_; }

    /// Added once to the intrinsic width and height; 0. Setting one lays the button out (and so
    /// redraws) at once.
    virtual CGFloat horizontalPadding() const { return horizontalPadding_; }
    virtual void setHorizontalPadding(CGFloat padding);
    virtual CGFloat verticalPadding() const { return verticalPadding_; }
    virtual void setVerticalPadding(CGFloat padding);
    /// Corners of half the height instead of 4 points; false. Setting it lays the button out.
    virtual bool isRound() const { return isRound_; }
    virtual void setRound(bool round);
    /// The tint of the background, the title and the image: the system blue. Setting it redraws.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);

    /// The inherited size plus the paddings.
    CGSize intrinsicContentSize() const override;

    /// Redraws.
    virtual void setup();
    /// The tinted background, then the title, or the image when the title is empty.
    virtual void redraw();
    /// Shows the image, made a template (the object itself is changed), tinted and at 16 by 16
    /// points in the middle of the button.
    virtual void drawImage(const std::shared_ptr<NSImage>& image);
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
    CGFloat horizontalPadding_ = 0;
    CGFloat verticalPadding_ = 0;
    bool isRound_ = false;
    std::shared_ptr<NSColor> color_ = NSColor::systemBlueColor();
    std::function<void()> afterPress_;
};

}  // namespace ZododuvoZoz
