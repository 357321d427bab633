#include "AxisLabels.hpp"

#include "AppKit/NSAttributedString.hpp"
#include "Foundation/DateFormatter.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz::AxisLabels {

CGSize measure(const std::string& text, const std::shared_ptr<NSFont>& font, CGSize within) {
    NSAttributedString string(text, {{NSAttributedStringKey::font(), font}});
    return within.width > 0 ? string.size(within.width) : string.size();
}

std::shared_ptr<CATextLayer> label(const std::string& text, const std::shared_ptr<NSFont>& font,
                                   const std::shared_ptr<NSColor>& color, CATextLayerAlignmentMode alignment) {
    auto layer = CATextLayer::make();
    layer->setFont(font->fontName());
    layer->setFontSize(font->pointSize());
    layer->setForegroundColor(color ? std::optional<CGColor>(color->cgColor()) : std::nullopt);
    layer->setAlignmentMode(alignment);
    layer->setContentsScale(Constants::screenScale());
    layer->setString(text);
    return layer;
}

std::string monthName(double timestamp) {
    DateFormatter formatter;
    formatter.setDateFormat("LLL");
    return formatter.string(Date(timestamp));
}

}  // namespace ZododuvoZoz::AxisLabels
