#pragma once
// A tag: a text field tinted in its colour (text in the colour, background in the colour at alpha
// 0.22, corners rounded by 4) that can size itself to its text through two constraints named
// "width" and "height", and can fill a fraction of its width as progress, a fill that follows the
// tag's size. The look is first applied at the first change of a drawing property or of the text.
#include <memory>
#include <optional>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSTextField.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

class TagLabel : public NSTextField {
public:
    explicit TagLabel(CGRect frame = {});
    static std::shared_ptr<TagLabel> make(CGRect frame = {}) { return std::make_shared<TagLabel>(frame); }

    /// The progress fill of the last redraw; none while there is no progress.
    const std::shared_ptr<CAShapeLayer>& progressLayer() const { return progressLayer_; }

    /// The system green unless set; setting it redraws.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    /// Padding on each side of the text; 6 unless set. Setting it redraws.
    virtual CGFloat offset() const { return offset_; }
    virtual void setOffset(CGFloat offset);
    /// The filled fraction of the width (limited to 0...1 when drawn); none unless set. Setting it
    /// redraws.
    virtual std::optional<CGFloat> progress() const { return progress_; }
    virtual void setProgress(std::optional<CGFloat> progress);
    /// Whether a redraw sizes the tag to its text; true unless set. Setting it does not redraw.
    virtual bool autoCalculateSize() const { return autoCalculateSize_; }
    virtual void setAutoCalculateSize(bool value) { autoCalculateSize_ = value; }
    /// Height added to the text's; 4 unless set. Setting it redraws.
    virtual CGFloat heightOffset() const { return heightOffset_; }
    virtual void setHeightOffset(CGFloat offset);

    /// Sets the text, then redraws.
    void setStringValue(const std::string& value) override;

    virtual void redraw();

    /// Fits the progress fill to the bounds the tag was given.
    void layout() override;

private:
    void fitProgress();
    void setSizeConstraint(NSLayoutAttribute attribute, const std::string& identifier, CGFloat constant);
    void layOut();

    std::shared_ptr<CAShapeLayer> progressLayer_;
    std::shared_ptr<NSColor> color_ = NSColor::systemGreenColor();
    CGFloat offset_ = 6;
    std::optional<CGFloat> progress_;
    bool autoCalculateSize_ = true;
    CGFloat heightOffset_ = 4;
};

}  // namespace ZododuvoZoz
