#pragma once
// How a run of text is set: font family, weight, slant, size and colour.
#include <string>

#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGGeometry.hpp"

struct TextStyle {
    std::string family = "DejaVu Sans";
    /// 100 (thin) to 900 (black); 400 is regular and 700 bold.
    int weight = 400;
    bool italic = false;
    CGFloat size = 12;
    CGColor color = CGColor::black();

    /// The style of a font name such as "DejaVuSans-Bold" or "DejaVuSansMono"; an unknown family
    /// name is passed on as it is and the font system picks its nearest font.
    static TextStyle named(const std::string& fontName, CGFloat size, const CGColor& color = CGColor::black());
    bool operator==(const TextStyle&) const = default;
};
