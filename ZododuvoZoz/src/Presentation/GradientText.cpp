#include "ZododuvoZoz/Presentation/GradientText.hpp"

#include <algorithm>
#include <iterator>

#include "AppKit/NSGradient.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "AppKit/NSMutableParagraphStyle.hpp"

namespace ZododuvoZoz {

namespace {

/// Runs the drawing with the context as the thread's current AppKit context, where text and
/// gradients draw; the previous one is current again afterwards.
template <typename Drawing>
void drawingIn(CGContext& context, Drawing&& drawing) {
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrent(NSGraphicsContext::make(context.shared_from_this()));
    drawing();
    NSGraphicsContext::restoreGraphicsState();
}

/// Fills the rectangle with the colours evenly spread from its left to its right edge; a single
/// colour fills it plainly, none leaves it empty.
void fillWithGradient(CGContext& context, const GradientText::Colors& given, const CGRect& rect) {
    GradientText::Colors colors;
    std::copy_if(given.begin(), given.end(), std::back_inserter(colors), [](const auto& color) { return color != nullptr; });
    if (colors.empty()) return;
    if (colors.size() == 1) {
        context.setFillColor(colors.front()->cgColor());
        context.fill(rect);
        return;
    }
    drawingIn(context, [&] { NSGradient::make(colors)->draw(rect, 0); });
}

}  // namespace

GradientText::Colors GradientText::defaultColors() { return {NSColor::systemRedColor(), NSColor::systemOrangeColor()}; }

std::shared_ptr<NSFont> GradientText::defaultFont() { return NSFont::boldSystemFont(24); }

NSAttributedString GradientText::attributedText() const {
    auto paragraph = NSParagraphStyle::defaultStyle()->mutableCopy();
    paragraph->setAlignment(NSTextAlignment::center);
    return NSAttributedString(text, {{NSAttributedStringKey::font(), font ? font : defaultFont()},
                                     {NSAttributedStringKey::foregroundColor(), NSColor::blackColor()},
                                     {NSAttributedStringKey::paragraphStyle(), std::shared_ptr<const NSParagraphStyle>(paragraph)}});
}

CGSize GradientText::idealSize() const { return attributedText().size(); }

ForegroundMask GradientText::body() const {
    auto shown = attributedText();
    auto glyphs = [shown](CGContext& context, CGSize) {
        // Set on one line per line break from the top-left corner, as it was measured.
        drawingIn(context, [&] { shown.draw(CGPoint{0, 0}); });
    };
    auto gradient = [colors = colors](CGContext& context, CGSize size) {
        fillWithGradient(context, colors, {{0, 0}, size});
    };
    return foregroundMask(glyphs, shown.size(), gradient);
}

void GradientText::draw(CGContext& context, CGSize size) const { body().draw(context, size); }

}  // namespace ZododuvoZoz
