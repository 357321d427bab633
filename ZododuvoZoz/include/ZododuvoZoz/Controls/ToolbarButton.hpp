#pragma once
// An icon-only button drawn with layers for toolbars and sidebars: a symbol at a chosen point size
// and weight in one colour, over a rounded background of that colour at low opacity that shows
// while the pointer is over the button or while it is selected. It never shows its title. Each
// click reaches its target and action, and then its delegate.
#include <functional>
#include <memory>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

class ToolbarButton;

/// Hears of every mouse-down on a toolbar button once the press is over, whether it ended inside
/// the button or not and whether the button is enabled or not.
class ToolbarButtonDelegate {
public:
    virtual ~ToolbarButtonDelegate() = default;
    virtual void toolbarButtonClicked(const std::shared_ptr<ToolbarButton>& button) = 0;
};

class ToolbarButton : public NSButton {
public:
    /// Builds the layers and draws them; make() also starts following the pointer (a button made
    /// otherwise starts at its first layout).
    explicit ToolbarButton(CGRect frame = {});
    static std::shared_ptr<ToolbarButton> make(CGRect frame = {});

    const std::shared_ptr<CALayer>& imageLayer() const { return imageLayer_; }
    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
    /// The area over the bounds that tells the button of the pointer; replaced on every layout.
    const std::shared_ptr<NSTrackingArea>& trackingArea() const { return trackingArea_; }

    /// Held weakly; none.
    virtual std::shared_ptr<ToolbarButtonDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<ToolbarButtonDelegate>& delegate) { delegate_ = delegate; }
    /// The symbol; none, which shows only the background. It is made a template when drawn (the
    /// object itself is changed); an image that is no symbol shows nothing. Setting it redraws.
    virtual std::shared_ptr<NSImage> customImage() const { return customImage_; }
    virtual void setCustomImage(const std::shared_ptr<NSImage>& image);
    /// The tint of the symbol and the background; none, which means the accent colour. Setting it
    /// redraws.
    virtual std::shared_ptr<NSColor> customColor() const { return customColor_; }
    virtual void setCustomColor(const std::shared_ptr<NSColor>& color);
    /// The symbol's point size; 14. Setting it redraws.
    virtual CGFloat pointSize() const { return pointSize_; }
    virtual void setPointSize(CGFloat size);
    /// The symbol's weight; regular. Setting it redraws.
    virtual NSFont::Weight iconWeight() const { return iconWeight_; }
    virtual void setIconWeight(NSFont::Weight weight);
    /// The selected look (the background shows); false. Setting it drops the hover highlight and
    /// redraws. Clicks do not change it.
    virtual bool isSelected() const { return isSelected_; }
    virtual void setSelected(bool selected);
    /// Whether the pointer is over the button (as far as the button knows).
    bool hover() const { return hover_; }

    /// Redraws.
    virtual void setup();
    /// The background, then the symbol.
    virtual void redraw();
    virtual void drawBackground();
    virtual void drawImage();

    void layout() override;
    void mouseDown(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;
    /// Draws nothing: the layers show the button.
    void draw(const CGRect& dirtyRect) override;

private:
    std::shared_ptr<NSColor> tint() const;
    void tellDelegate();

    std::shared_ptr<CALayer> imageLayer_ = CALayer::make();
    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    std::shared_ptr<NSTrackingArea> trackingArea_;
    std::weak_ptr<ToolbarButtonDelegate> delegate_;
    std::shared_ptr<NSImage> customImage_;
    std::shared_ptr<NSColor> customColor_;
    CGFloat pointSize_ = 14;
    NSFont::Weight iconWeight_ = NSFont::Weight::regular();
    bool isSelected_ = false;
    bool hover_ = false;
    std::function<void()> afterPress_;
};

}  // namespace ZododuvoZoz
