#pragma once
// A flat button drawn with layers: a grey rounded background while the pointer is over it (or
// always, on request), its title in its own text colour and an optional image over it. Each
// click reaches its target and action, and then its delegate.
#include <functional>
#include <memory>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz {

class HoverButton;

/// Hears of every mouse-down on a hover button once the press is over, whether it ended inside the
/// button or not and whether the button is enabled or not.
class HoverButtonDelegate {
public:
    virtual ~HoverButtonDelegate() = default;
    virtual void hoverButtonClicked(const std::shared_ptr<HoverButton>& button) = 0;
};

class HoverButton : public NSButton {
public:
    /// Builds the layers and draws them; make() also starts following the pointer (a button made
    /// otherwise starts at its first layout).
    explicit HoverButton(CGRect frame = {});
    static std::shared_ptr<HoverButton> make(CGRect frame = {});

    const std::shared_ptr<CATextLayer>& textLayer() const { return textLayer_; }
    const std::shared_ptr<CALayer>& imageLayer() const { return imageLayer_; }
    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
    /// The area over the bounds that tells the button of the pointer; replaced on every layout.
    const std::shared_ptr<NSTrackingArea>& trackingArea() const { return trackingArea_; }

    /// Held weakly; none.
    virtual std::shared_ptr<HoverButtonDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<HoverButtonDelegate>& delegate) { delegate_ = delegate; }
    /// The title's colour, enabled or not: the system text colour. Setting it redraws.
    virtual std::shared_ptr<NSColor> textColor() const { return textColor_; }
    virtual void setTextColor(const std::shared_ptr<NSColor>& color);
    /// Whether the background shows without the pointer over the button; false. Setting it redraws.
    virtual bool alwaysShowBackground() const { return alwaysShowBackground_; }
    virtual void setAlwaysShowBackground(bool show);
    /// Drawn over the title, in the middle; none. Setting it redraws.
    virtual std::shared_ptr<NSImage> customImage() const { return customImage_; }
    virtual void setCustomImage(const std::shared_ptr<NSImage>& image);
    /// Whether the pointer is over the button.
    bool hover() const { return hover_; }

    /// Redraws.
    virtual void setup();
    /// The background, the title, then the image.
    virtual void redraw();
    virtual void drawBackground();
    virtual void drawText();
    virtual void drawImage();

    void layout() override;
    void mouseDown(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;
    /// Draws nothing: the layers show the button.
    void draw(const CGRect& dirtyRect) override;

private:
    void tellDelegate();

    std::shared_ptr<CATextLayer> textLayer_ = CATextLayer::make();
    std::shared_ptr<CALayer> imageLayer_ = CALayer::make();
    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    std::shared_ptr<NSTrackingArea> trackingArea_;
    std::weak_ptr<HoverButtonDelegate> delegate_;
    std::shared_ptr<NSColor> textColor_ = NSColor::textColor();
    bool alwaysShowBackground_ = false;
    std::shared_ptr<NSImage> customImage_;
    bool hover_ = false;
    std::function<void()> afterPress_;
};

}  // namespace ZododuvoZoz
