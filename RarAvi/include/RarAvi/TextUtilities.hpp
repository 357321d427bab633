#pragma once
// Text helpers: attribute sets for attributed texts, text measuring, country flags, and an image
// set into a line of text at the font's cap height.
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSParagraphStyle.hpp"
#include "AppKit/NSTextAttachment.hpp"

namespace RarAvi {

/// An image in a line of text, centred on the font's capital letters.
class ImageAttachment : public NSTextAttachment {
public:
    ImageAttachment() : NSTextAttachment(std::nullopt, std::nullopt) {}
    /// With a font, the image's bounds sit at half the difference of the font's cap height and
    /// the image's height (rounded first); without one, the image shows at its own size on the
    /// baseline.
    ImageAttachment(const std::shared_ptr<NSImage>& image, const std::shared_ptr<NSFont>& font);
};

class TextUtilities {
public:
    TextUtilities() = delete;

    // Attribute sets of three entries: the font, the colour and a paragraph style with the
    // alignment (centred where none is given).
    static NSAttributes attributes(const std::shared_ptr<NSColor>& color, NSTextAlignment alignment, CGFloat fontSize);
    static NSAttributes attributes(const std::shared_ptr<NSColor>& color, CGFloat fontSize);
    static NSAttributes attributes(NSTextAlignment alignment, const std::shared_ptr<NSColor>& color, bool bold, CGFloat fontSize);
    /// In the label colour.
    static NSAttributes attributes(NSTextAlignment alignment, CGFloat fontSize);
    static NSAttributes attributes(const std::shared_ptr<NSFont>& font, const std::shared_ptr<NSColor>& color,
                                   NSTextAlignment alignment);
    static NSAttributes attributes(const std::shared_ptr<NSFont>& font, NSTextAlignment alignment,
                                   const std::shared_ptr<NSColor>& color);
    /// In the label colour.
    static NSAttributes attributes(bool bold, NSTextAlignment alignment, CGFloat fontSize);
    /// The plain system font in the label colour, centred.
    static NSAttributes attributes(CGFloat fontSize);

    /// The size of the text set in the font within the bounding size (a zero width does not
    /// wrap); zero for no text.
    static CGSize size(const std::optional<std::string>& of, const std::shared_ptr<NSFont>& font, CGSize size);
    /// The height of the text set in the font on unwrapped lines; 0 for no text.
    static CGFloat height(const std::optional<std::string>& of, const std::shared_ptr<NSFont>& font);

    /// Each character moved into the regional-indicator letters (a two-letter upper-case country
    /// code becomes its flag); characters that would fall outside Unicode, and malformed bytes,
    /// are left out.
    static std::string flag(const std::string& countryCode);
};

}  // namespace RarAvi
