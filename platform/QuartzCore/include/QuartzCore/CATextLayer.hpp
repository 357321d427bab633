#pragma once
// A layer that draws a text from the top of its bounds: one line, or lines wrapped to the width.
#include <string>

#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/TextLayout.hpp"

enum class CATextLayerAlignmentMode { natural, left, right, center, justified };

class CATextLayer : public CALayer {
public:
    static std::shared_ptr<CATextLayer> make() { return std::make_shared<CATextLayer>(); }

    const std::string& string() const { return string_; }
    void setString(std::string text) { change(string_, std::move(text)); }
    /// A font name ("DejaVuSans", "DejaVuSans-Bold"); its size is fontSize.
    const std::string& font() const { return font_; }
    void setFont(std::string name) { change(font_, std::move(name)); }
    CGFloat fontSize() const { return fontSize_; }
    void setFontSize(CGFloat size) { change(fontSize_, size); }
    /// Opaque white by default.
    const std::optional<CGColor>& foregroundColor() const { return foregroundColor_; }
    void setForegroundColor(const std::optional<CGColor>& color) { change(foregroundColor_, color); }
    CATextLayerAlignmentMode alignmentMode() const { return alignmentMode_; }
    void setAlignmentMode(CATextLayerAlignmentMode mode) { change(alignmentMode_, mode); }
    bool isWrapped() const { return wrapped_; }
    void setWrapped(bool wrapped) { change(wrapped_, wrapped); }

    void draw(CGContext& context) override;

protected:
    CGRect ownDrawingBounds() const override;

private:
    std::string string_;
    std::string font_ = "DejaVuSans";
    CGFloat fontSize_ = 36;
    std::optional<CGColor> foregroundColor_ = CGColor::white();
    CATextLayerAlignmentMode alignmentMode_ = CATextLayerAlignmentMode::natural;
    bool wrapped_ = false;
};
