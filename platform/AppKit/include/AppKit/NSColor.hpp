#pragma once
// Colours: components in a colour space, or a system colour with a light and a dark value that is
// resolved against the current drawing appearance whenever it is read, converted or drawn.
#include <memory>
#include <optional>
#include <string>

#include "CoreGraphics/CGColor.hpp"

enum class NSColorSpace { sRGB, genericRGB, deviceRGB };

class NSColor {
public:
    /// Red, green and blue in sRGB.
    static std::shared_ptr<NSColor> make(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha = 1);
    static std::shared_ptr<NSColor> calibrated(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha = 1);
    static std::shared_ptr<NSColor> device(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha = 1);
    static std::shared_ptr<NSColor> white(CGFloat white, CGFloat alpha = 1);
    static std::shared_ptr<NSColor> fromCGColor(const CGColor& color);
    /// A colour that is `light` in light appearances and `dark` in dark ones.
    static std::shared_ptr<NSColor> dynamic(const CGColor& light, const CGColor& dark,
                                            std::optional<std::string> name = std::nullopt);

    // System colours, each one object whose value follows the appearance.
    static std::shared_ptr<NSColor> labelColor();
    static std::shared_ptr<NSColor> secondaryLabelColor();
    static std::shared_ptr<NSColor> tertiaryLabelColor();
    static std::shared_ptr<NSColor> quaternaryLabelColor();
    static std::shared_ptr<NSColor> textColor();
    static std::shared_ptr<NSColor> selectedTextColor();
    static std::shared_ptr<NSColor> separatorColor();
    static std::shared_ptr<NSColor> highlightColor();
    static std::shared_ptr<NSColor> shadowColor();
    static std::shared_ptr<NSColor> windowBackgroundColor();
    static std::shared_ptr<NSColor> controlBackgroundColor();
    /// The desktop's accent colour where it gives one (NSApplication::accentColor()).
    static std::shared_ptr<NSColor> controlAccentColor();
    static std::shared_ptr<NSColor> systemRedColor();
    static std::shared_ptr<NSColor> systemOrangeColor();
    static std::shared_ptr<NSColor> systemYellowColor();
    static std::shared_ptr<NSColor> systemGreenColor();
    static std::shared_ptr<NSColor> systemTealColor();
    static std::shared_ptr<NSColor> systemBlueColor();
    static std::shared_ptr<NSColor> systemPinkColor();
    static std::shared_ptr<NSColor> systemGrayColor();
    static std::shared_ptr<NSColor> linkColor();
    // Fixed colours.
    static std::shared_ptr<NSColor> clearColor();
    static std::shared_ptr<NSColor> whiteColor();
    static std::shared_ptr<NSColor> blackColor();
    static std::shared_ptr<NSColor> redColor();
    static std::shared_ptr<NSColor> greenColor();
    static std::shared_ptr<NSColor> blueColor();
    static std::shared_ptr<NSColor> grayColor();
    static std::shared_ptr<NSColor> lightGrayColor();
    static std::shared_ptr<NSColor> darkGrayColor();

    /// The system colour's name ("separatorColor"); nothing for other colours.
    const std::optional<std::string>& name() const { return name_; }
    bool isDynamic() const { return dark_.has_value(); }
    NSColorSpace colorSpace() const { return space_; }

    // Components, resolved in the current drawing appearance.
    CGFloat redComponent() const { return resolved().red; }
    CGFloat greenComponent() const { return resolved().green; }
    CGFloat blueComponent() const { return resolved().blue; }
    CGFloat alphaComponent() const { return resolved().alpha; }
    CGColor cgColor() const { return resolved(); }

    /// The same colour with another alpha (a system colour stays dynamic).
    std::shared_ptr<NSColor> withAlphaComponent(CGFloat alpha) const;
    /// The colour resolved now and tagged with the space; components are not recomputed.
    std::shared_ptr<NSColor> usingColorSpace(NSColorSpace space) const;

    /// Make this the fill and stroke colour, or one of them, of the current graphics context.
    void set() const;
    void setFill() const;
    void setStroke() const;

    NSColor(const CGColor& light, std::optional<CGColor> dark, NSColorSpace space, std::optional<std::string> name)
        : light_(light), dark_(dark), space_(space), name_(std::move(name)) {}

private:
    CGColor resolved() const;

    CGColor light_;
    std::optional<CGColor> dark_;
    NSColorSpace space_;
    std::optional<std::string> name_;
    bool followsAccent_ = false;
};
