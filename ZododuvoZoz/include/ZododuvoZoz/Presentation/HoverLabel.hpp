#pragma once
// A label drawn by layers of its own: a rounded highlight that shows while the pointer is over it
// or in the on colour while it is on, its text centred in a text layer (blue while on), and an
// optional icon at its left edge. It follows the pointer with one tracking area over its bounds,
// made anew on every layout; make() gives it the first one.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz {

class HoverLabel : public NSTextField {
public:
    explicit HoverLabel(CGRect frame = {});
    /// A label that tracks the pointer over its bounds and shows its look at once.
    static std::shared_ptr<HoverLabel> make(CGRect frame = {});

    const std::shared_ptr<CATextLayer>& textLayer() const { return textLayer_; }
    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
    const std::shared_ptr<CALayer>& imageLayer() const { return imageLayer_; }
    const std::shared_ptr<NSTrackingArea>& trackingArea() const { return trackingArea_; }
    /// Whether the pointer is inside.
    bool hover() const { return hover_; }

    /// 0 by 0 unless set; the icon shows only when both sides are above 0. Setting it does not
    /// redraw: the next redraw uses it.
    virtual CGSize iconSize() const { return iconSize_; }
    virtual void setIconSize(CGSize size) { iconSize_ = size; }
    /// The palette's on colour.
    virtual std::shared_ptr<NSColor> onColor() const;
    /// In a dark appearance the quaternary label colour at alpha 0.4, else RGB 242, 242, 242.
    virtual std::shared_ptr<NSColor> hoverColor() const;
    /// Setting it redraws.
    virtual bool isOn() const { return isOn_; }
    virtual void setOn(bool on);
    /// Setting it redraws.
    virtual std::shared_ptr<NSImage> icon() const { return icon_; }
    virtual void setIcon(const std::shared_ptr<NSImage>& icon);

    /// Redraws.
    virtual void setup();
    /// Rebuilds the look in the view's appearance: background, text, icon.
    virtual void redraw();
    virtual void drawBackground();
    virtual void drawIcon();
    virtual void drawText();

    void layout() override;
    void viewDidChangeEffectiveAppearance() override;
    /// The layers show the label; the text field draws nothing itself.
    void draw(const CGRect& dirtyRect) override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;

private:
    void replaceTrackingArea();

    std::shared_ptr<CATextLayer> textLayer_ = CATextLayer::make();
    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    std::shared_ptr<CALayer> imageLayer_ = CALayer::make();
    std::shared_ptr<NSTrackingArea> trackingArea_;
    CGSize iconSize_{0, 0};
    bool hover_ = false;
    bool isOn_ = false;
    std::shared_ptr<NSImage> icon_;
};

}  // namespace ZododuvoZoz
