#pragma once
// Fonts: the system font (DejaVu Sans here) at a size and weight, with its metrics.
#include <compare>
#include <memory>
#include <string>

#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "QuartzCore/TextLayout.hpp"

class NSFont {
public:
    /// Font weights from -1 (lightest) to 1 (heaviest), as the platform numbers them.
    struct Weight {
        CGFloat rawValue = 0;
        static constexpr Weight ultraLight() { return {-0.8}; }
        static constexpr Weight thin() { return {-0.6}; }
        static constexpr Weight light() { return {-0.4}; }
        static constexpr Weight regular() { return {0}; }
        static constexpr Weight medium() { return {0.23}; }
        static constexpr Weight semibold() { return {0.3}; }
        static constexpr Weight bold() { return {0.4}; }
        static constexpr Weight heavy() { return {0.56}; }
        static constexpr Weight black() { return {0.62}; }
        auto operator<=>(const Weight&) const = default;
    };

    static std::shared_ptr<NSFont> systemFont(CGFloat size, Weight weight = Weight::regular());
    static std::shared_ptr<NSFont> boldSystemFont(CGFloat size);
    /// The size of the system font in controls.
    static CGFloat systemFontSize() { return 13; }

    /// The face's name, such as "DejaVuSans" or "DejaVuSans-Bold" (what a text layer takes).
    const std::string& fontName() const { return fontName_; }
    const std::string& familyName() const { return style_.family; }
    CGFloat pointSize() const { return style_.size; }
    Weight weight() const { return weight_; }
    /// Above the baseline, and below it (negative).
    CGFloat ascender() const;
    CGFloat descender() const;
    /// The height of capital letters above the baseline (NSFontMetrics.cpp).
    CGFloat capHeight() const;
    /// The style to set text in with this font.
    TextStyle textStyle(const CGColor& color) const;

    NSFont(CGFloat size, Weight weight);

private:
    TextStyle style_;
    Weight weight_;
    std::string fontName_;
};
