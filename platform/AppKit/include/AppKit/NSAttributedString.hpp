#pragma once
// Text with attributes (font, colour, paragraph style), measured and drawn through Pango. Absent
// attributes mean the system font at 12 points, the text colour and the default paragraph style.
#include <compare>
#include <map>
#include <memory>
#include <string>
#include <variant>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSParagraphStyle.hpp"
#include "CoreGraphics/CGGeometry.hpp"

struct NSAttributedStringKey {
    std::string rawValue;
    static NSAttributedStringKey font() { return {"NSFont"}; }
    static NSAttributedStringKey foregroundColor() { return {"NSColor"}; }
    static NSAttributedStringKey paragraphStyle() { return {"NSParagraphStyle"}; }
    auto operator<=>(const NSAttributedStringKey&) const = default;
};

using NSAttributeValue =
    std::variant<std::shared_ptr<NSFont>, std::shared_ptr<NSColor>, std::shared_ptr<const NSParagraphStyle>>;
using NSAttributes = std::map<NSAttributedStringKey, NSAttributeValue>;

class NSAttributedString {
public:
    explicit NSAttributedString(std::string string, NSAttributes attributes = {})
        : string_(std::move(string)), attributes_(std::move(attributes)) {}

    const std::string& string() const { return string_; }
    const NSAttributes& attributes() const { return attributes_; }

    /// The size of the text set on one line per line break.
    CGSize size() const;
    /// The size of the text wrapped to a width.
    CGSize size(CGFloat constrainedToWidth) const;
    /// Draws with the text's origin at the point: its lower-left corner where y grows upwards,
    /// its upper-left corner in flipped coordinates.
    void draw(CGPoint at) const;
    /// Draws from the top of the rectangle, wrapped to its width.
    void draw(const CGRect& in) const;

private:
    std::string string_;
    NSAttributes attributes_;
};
