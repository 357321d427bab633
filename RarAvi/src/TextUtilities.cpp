#include "RarAvi/TextUtilities.hpp"

#include <unicode/utf8.h>

#include <cmath>

#include "AppKit/NSMutableParagraphStyle.hpp"

namespace RarAvi {

namespace {
NSAttributes threeAttributes(const std::shared_ptr<NSFont>& font, const std::shared_ptr<NSColor>& color, NSTextAlignment alignment) {
    auto style = NSParagraphStyle::defaultStyle()->mutableCopy();
    style->setAlignment(alignment);
    return {
        {NSAttributedStringKey::font(), font},
        {NSAttributedStringKey::foregroundColor(), color},
        {NSAttributedStringKey::paragraphStyle(), std::shared_ptr<const NSParagraphStyle>(style)},
    };
}

std::shared_ptr<NSFont> systemFont(bool bold, CGFloat size) {
    return bold ? NSFont::boldSystemFont(size) : NSFont::systemFont(size);
}

void appendUTF8(std::string& text, UChar32 scalar) {
    char bytes[U8_MAX_LENGTH];
    int32_t length = 0;
    UBool failed = false;
    U8_APPEND(bytes, length, U8_MAX_LENGTH, scalar, failed);
    if (!failed) text.append(bytes, static_cast<std::size_t>(length));
}
}  // namespace

// MARK: - Image attachments

ImageAttachment::ImageAttachment(const std::shared_ptr<NSImage>& image, const std::shared_ptr<NSFont>& font) : ImageAttachment() {
    // Without a font the attachment stays empty.
    if (!image || !font) return;
    const CGSize size = image->size();
    setBounds({0, std::round(font->capHeight() - size.height) * 0.5, size.width, size.height});
    setImage(image);
}

// MARK: - Attributes

NSAttributes TextUtilities::attributes(const std::shared_ptr<NSColor>& color, NSTextAlignment alignment, CGFloat fontSize) {
    return threeAttributes(NSFont::systemFont(fontSize), color, alignment);
}

NSAttributes TextUtilities::attributes(const std::shared_ptr<NSColor>& color, CGFloat fontSize) {
    return attributes(color, NSTextAlignment::center, fontSize);
}

NSAttributes TextUtilities::attributes(NSTextAlignment alignment, const std::shared_ptr<NSColor>& color, bool bold, CGFloat fontSize) {
    return threeAttributes(systemFont(bold, fontSize), color, alignment);
}

NSAttributes TextUtilities::attributes(NSTextAlignment alignment, CGFloat fontSize) {
    return threeAttributes(NSFont::systemFont(fontSize), NSColor::labelColor(), alignment);
}

NSAttributes TextUtilities::attributes(const std::shared_ptr<NSFont>& font, const std::shared_ptr<NSColor>& color,
                                       NSTextAlignment alignment) {
    return threeAttributes(font, color, alignment);
}

NSAttributes TextUtilities::attributes(const std::shared_ptr<NSFont>& font, NSTextAlignment alignment,
                                       const std::shared_ptr<NSColor>& color) {
    return threeAttributes(font, color, alignment);
}

NSAttributes TextUtilities::attributes(bool bold, NSTextAlignment alignment, CGFloat fontSize) {
    return threeAttributes(systemFont(bold, fontSize), NSColor::labelColor(), alignment);
}

NSAttributes TextUtilities::attributes(CGFloat fontSize) { return attributes(false, NSTextAlignment::center, fontSize); }

// MARK: - Measuring

CGSize TextUtilities::size(const std::optional<std::string>& of, const std::shared_ptr<NSFont>& font, CGSize size) {
    if (!of) return CGSize::zero();
    NSAttributedString text(*of, {{NSAttributedStringKey::font(), font}});
    return size.width > 0 ? text.size(size.width) : text.size();
}

CGFloat TextUtilities::height(const std::optional<std::string>& of, const std::shared_ptr<NSFont>& font) {
    if (!of) return 0;
    return size(of, font, CGSize::zero()).height;
}

// MARK: - Flags

std::string TextUtilities::flag(const std::string& countryCode) {
    std::string result;
    const auto* bytes = reinterpret_cast<const uint8_t*>(countryCode.data());
    const auto length = static_cast<int32_t>(countryCode.size());
    for (int32_t at = 0; at < length;) {
        UChar32 scalar = 0;
        U8_NEXT(bytes, at, length, scalar);
        // A malformed byte is no character at all and is left out.
        if (scalar < 0) continue;
        const UChar32 shifted = scalar + 0x1F1A5;
        if (shifted > 0x10FFFF || (shifted >= 0xD800 && shifted <= 0xDFFF)) continue;
        appendUTF8(result, shifted);
    }
    return result;
}

}  // namespace RarAvi
