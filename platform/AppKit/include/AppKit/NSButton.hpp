#pragma once
// A push button: a title and/or an image on a bezel of some style. A press that is released over
// the button sends its action. Subclasses that draw themselves override draw(_:).
#include <memory>
#include <string>

#include "AppKit/NSControl.hpp"
#include "AppKit/NSImage.hpp"

enum class NSBezelStyle {
    /// A rounded rectangle, the usual push button.
    rounded,
    /// A rectangle with slightly rounded corners.
    regularSquare,
    /// A rectangle with square corners.
    smallSquare,
    /// A circle.
    circular,
    /// A capsule drawn only while pressed.
    recessed,
    /// A rounded rectangle, as toolbar buttons have.
    texturedRounded
};

enum class NSCellImagePosition { noImage, imageOnly, imageLeft, imageRight, imageBelow, imageAbove, imageOverlaps };

class NSButton : public NSControl {
public:
    explicit NSButton(CGRect frame = {}) : NSControl(frame) {}
    static std::shared_ptr<NSButton> make(CGRect frame = {}) { return std::make_shared<NSButton>(frame); }
    /// A rounded push button with the title, sized to fit, that runs the action.
    static std::shared_ptr<NSButton> make(const std::string& title, Action action);
    /// A borderless button showing only the image, of the image's size.
    static std::shared_ptr<NSButton> make(const std::shared_ptr<NSImage>& image, Action action);

    /// "Button" until set.
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title);
    std::string stringValue() const override { return title_; }
    void setStringValue(const std::string& value) override { setTitle(value); }
    std::shared_ptr<NSImage> image() const { return image_; }
    void setImage(const std::shared_ptr<NSImage>& image);
    /// Where the image goes beside the title; imageLeft is used when it is noImage and there is one.
    NSCellImagePosition imagePosition() const { return imagePosition_; }
    void setImagePosition(NSCellImagePosition position);
    NSBezelStyle bezelStyle() const { return bezelStyle_; }
    void setBezelStyle(NSBezelStyle style);
    bool isBordered() const { return bordered_; }
    void setBordered(bool bordered);

    /// The size that shows the title and image on the bezel.
    CGSize fittingSize() const;
    void sizeToFit() { setFrameSize(fittingSize()); }
    /// The size the button asks for in a layout: its fitting size.
    virtual CGSize intrinsicContentSize() const { return fittingSize(); }

    void draw(const CGRect& dirtyRect) override;

private:
    void drawBezel();
    void drawContent();

    std::string title_ = "Button";
    std::shared_ptr<NSImage> image_;
    NSCellImagePosition imagePosition_ = NSCellImagePosition::noImage;
    NSBezelStyle bezelStyle_ = NSBezelStyle::rounded;
    bool bordered_ = true;
};
