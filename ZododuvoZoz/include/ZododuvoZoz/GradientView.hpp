#pragma once
// A panel filled with a horizontal gradient inside rounded corners. Its colours follow a colour
// theme once one is set; until then it shows the orange-to-yellow preset.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

/// The gradient presets a panel can take.
enum class ColorTheme { custom = 0, cardOne = 1, cardTwo = 2, cardThree = 3, cardFull = 4 };

inline int rawValue(ColorTheme theme) { return static_cast<int>(theme); }
/// The theme of a raw value; none for 5 or more (or below 0).
std::optional<ColorTheme> colorThemeFrom(int raw);

class GradientView : public NSView {
public:
    explicit GradientView(CGRect frame = {});
    static std::shared_ptr<GradientView> make(CGRect frame = {}) { return std::make_shared<GradientView>(frame); }

    /// 8 points; given straight to the layer, without a redraw.
    virtual CGFloat cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(CGFloat radius);
    /// custom until set; setting it applies the theme's colours.
    virtual ColorTheme colorTheme() const { return colorTheme_; }
    virtual void setColorTheme(ColorTheme theme);
    /// Drawn from the left edge to the right; fewer than two colours draw no gradient.
    virtual const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    virtual void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// Kept for those who set them; the drawing always runs from left to right.
    virtual CGPoint startPoint() const { return startPoint_; }
    virtual void setStartPoint(CGPoint point);
    virtual CGPoint endPoint() const { return endPoint_; }
    virtual void setEndPoint(CGPoint point);

    /// Takes the colours of the theme's preset and rounds the layer again.
    void applyTheme();
    void draw(const CGRect& dirtyRect) override;

private:
    void roundLayer();

    CGFloat cornerRadius_ = 8;
    ColorTheme colorTheme_ = ColorTheme::custom;
    std::vector<std::shared_ptr<NSColor>> colors_;
    CGPoint startPoint_{0, 0.5};
    CGPoint endPoint_{1, 0.5};
};

}  // namespace ZododuvoZoz
