#include "ZododuvoZoz/TextUtilities.hpp"

#include "AppKit/NSMutableParagraphStyle.hpp"

namespace ZododuvoZoz {

NSAttributes TextUtilities::attributes(NSTextAlignment alignment, const std::shared_ptr<NSColor>& color, bool bold,
                                       CGFloat fontSize) {
    auto paragraph = NSParagraphStyle::defaultStyle()->mutableCopy();
    paragraph->setAlignment(alignment);
    return {
        {NSAttributedStringKey::font(), bold ? NSFont::boldSystemFont(fontSize) : NSFont::systemFont(fontSize)},
        {NSAttributedStringKey::foregroundColor(), color},
        {NSAttributedStringKey::paragraphStyle(), std::shared_ptr<const NSParagraphStyle>(paragraph)},
    };
}

}  // namespace ZododuvoZoz
