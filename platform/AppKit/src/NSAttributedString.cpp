#include "AppKit/NSAttributedString.hpp"

#include "AppKit/NSGraphicsContext.hpp"
#include "QuartzCore/TextLayout.hpp"

namespace {
template <class T>
T attribute(const NSAttributes& attributes, const NSAttributedStringKey& key) {
    auto it = attributes.find(key);
    if (it == attributes.end()) return nullptr;
    if (const T* value = std::get_if<T>(&it->second)) return *value;
    return nullptr;
}

TextAlignment alignmentOf(NSTextAlignment alignment) {
    switch (alignment) {
        case NSTextAlignment::left: return TextAlignment::left;
        case NSTextAlignment::right: return TextAlignment::right;
        case NSTextAlignment::center: return TextAlignment::center;
        case NSTextAlignment::justified: return TextAlignment::justified;
        case NSTextAlignment::natural: return TextAlignment::natural;
    }
    return TextAlignment::natural;
}

std::unique_ptr<TextLayout> layoutOf(const std::string& text, const NSAttributes& attributes,
                                     std::optional<CGFloat> width) {
    auto font = attribute<std::shared_ptr<NSFont>>(attributes, NSAttributedStringKey::font());
    if (!font) font = NSFont::systemFont(12);
    auto color = attribute<std::shared_ptr<NSColor>>(attributes, NSAttributedStringKey::foregroundColor());
    if (!color) color = NSColor::textColor();
    auto paragraph = attribute<std::shared_ptr<const NSParagraphStyle>>(attributes, NSAttributedStringKey::paragraphStyle());
    if (!paragraph) paragraph = NSParagraphStyle::defaultStyle();
    TextTruncation truncation = TextTruncation::none;
    switch (paragraph->lineBreakMode()) {
        case NSLineBreakMode::byTruncatingHead: truncation = TextTruncation::head; break;
        case NSLineBreakMode::byTruncatingMiddle: truncation = TextTruncation::middle; break;
        case NSLineBreakMode::byTruncatingTail: truncation = TextTruncation::tail; break;
        default: break;
    }
    return std::make_unique<TextLayout>(std::vector<TextRun>{{text, font->textStyle(color->cgColor())}},
                                        alignmentOf(paragraph->alignment()), width, truncation);
}
}  // namespace

CGSize NSAttributedString::size() const { return layoutOf(string_, attributes_, std::nullopt)->size(); }

CGSize NSAttributedString::size(CGFloat constrainedToWidth) const {
    return layoutOf(string_, attributes_, constrainedToWidth)->size();
}

void NSAttributedString::draw(CGPoint at) const {
    auto context = NSGraphicsContext::current();
    if (!context) return;
    auto layout = layoutOf(string_, attributes_, std::nullopt);
    CGSize size = layout->size();
    CGRect rect{at, size};
    layout->draw(*context->cgContext(), rect);
}

void NSAttributedString::draw(const CGRect& in) const {
    auto context = NSGraphicsContext::current();
    if (!context) return;
    layoutOf(string_, attributes_, in.width())->draw(*context->cgContext(), in);
}
