#pragma once
// A text painted with a horizontal colour gradient, for hosts that describe their views as values:
// it holds its text, colours and font, and draws the text centred in the size it is offered, with
// only the glyphs showing the gradient (the colours evenly spread from the leading to the trailing
// edge of the text). Lines are centred on one another.
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "ZododuvoZoz/ForegroundMask.hpp"

namespace ZododuvoZoz {

struct GradientText {
    /// The colours are NSColor values, so that system colours keep following the appearance they
    /// are drawn in; the initialisers taking colours therefore serve NSColor lists as they are.
    using Colors = std::vector<std::shared_ptr<NSColor>>;

    std::string text;
    Colors colors = defaultColors();
    std::shared_ptr<NSFont> font = defaultFont();

    GradientText() = default;
    GradientText(std::string text, Colors colors) : text(std::move(text)), colors(std::move(colors)) {}
    GradientText(std::string text, Colors colors, std::shared_ptr<NSFont> font)
        : text(std::move(text)), colors(std::move(colors)), font(std::move(font)) {}

    /// Red and orange.
    static Colors defaultColors();
    /// The bold system font of size 24. The system font has no rounded design here, so the plain
    /// design stands in for it.
    static std::shared_ptr<NSFont> defaultFont();

    /// The text in the font (the default font when none is set), its lines centred.
    NSAttributedString attributedText() const;
    /// The size the text takes in the font; the view keeps this size whatever it is offered.
    CGSize idealSize() const;
    /// The gradient seen through the text.
    ForegroundMask body() const;
    /// Draws the body centred in `size`.
    void draw(CGContext& context, CGSize size) const;
};

}  // namespace ZododuvoZoz
