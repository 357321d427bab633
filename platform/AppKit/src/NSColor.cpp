#include "AppKit/NSColor.hpp"

#include <algorithm>
#include <cctype>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSGraphicsContext.hpp"

namespace {
bool drawingIsDark() {
    auto appearance = NSAppearance::currentDrawing();
    if (!appearance) return false;
    std::string name = appearance->name();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name.find("dark") != std::string::npos;
}

CGColor rgb(int r, int g, int b, CGFloat a = 1) { return {r / 255.0, g / 255.0, b / 255.0, a}; }

// One object per system colour, made on first use.
#define SYSTEM_COLOR(member, light, dark)                                                            \
    std::shared_ptr<NSColor> NSColor::member() {                                                     \
        static const std::shared_ptr<NSColor> color = NSColor::dynamic(light, dark, std::string(#member)); \
        return color;                                                                                \
    }
#define FIXED_COLOR(member, value)                                                                   \
    std::shared_ptr<NSColor> NSColor::member() {                                                     \
        static const std::shared_ptr<NSColor> color =                                                \
            std::make_shared<NSColor>(value, std::nullopt, NSColorSpace::sRGB, std::string(#member)); \
        return color;                                                                                \
    }
}  // namespace

std::shared_ptr<NSColor> NSColor::make(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    return std::make_shared<NSColor>(CGColor{red, green, blue, alpha}, std::nullopt, NSColorSpace::sRGB, std::nullopt);
}

std::shared_ptr<NSColor> NSColor::calibrated(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    return std::make_shared<NSColor>(CGColor{red, green, blue, alpha}, std::nullopt, NSColorSpace::genericRGB,
                                     std::nullopt);
}

std::shared_ptr<NSColor> NSColor::device(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    return std::make_shared<NSColor>(CGColor{red, green, blue, alpha}, std::nullopt, NSColorSpace::deviceRGB,
                                     std::nullopt);
}

std::shared_ptr<NSColor> NSColor::white(CGFloat white, CGFloat alpha) { return make(white, white, white, alpha); }

std::shared_ptr<NSColor> NSColor::fromCGColor(const CGColor& color) {
    return make(color.red, color.green, color.blue, color.alpha);
}

std::shared_ptr<NSColor> NSColor::dynamic(const CGColor& light, const CGColor& dark, std::optional<std::string> name) {
    return std::make_shared<NSColor>(light, dark, NSColorSpace::sRGB, std::move(name));
}

SYSTEM_COLOR(labelColor, CGColor::gray(0, 0.85), CGColor::gray(1, 0.85))
SYSTEM_COLOR(secondaryLabelColor, CGColor::gray(0, 0.5), CGColor::gray(1, 0.55))
SYSTEM_COLOR(tertiaryLabelColor, CGColor::gray(0, 0.26), CGColor::gray(1, 0.25))
SYSTEM_COLOR(quaternaryLabelColor, CGColor::gray(0, 0.1), CGColor::gray(1, 0.1))
SYSTEM_COLOR(textColor, CGColor::black(), CGColor::white())
SYSTEM_COLOR(selectedTextColor, CGColor::black(), CGColor::white())
SYSTEM_COLOR(separatorColor, CGColor::gray(0, 0.1), CGColor::gray(1, 0.1))
SYSTEM_COLOR(highlightColor, CGColor::white(), rgb(180, 180, 180))
SYSTEM_COLOR(shadowColor, CGColor::black(), CGColor::black())
SYSTEM_COLOR(windowBackgroundColor, rgb(236, 236, 236), rgb(50, 50, 50))
SYSTEM_COLOR(controlBackgroundColor, CGColor::white(), rgb(30, 30, 30))

// The accent colour follows the desktop's where it gives one.
std::shared_ptr<NSColor> NSColor::controlAccentColor() {
    static const std::shared_ptr<NSColor> color = [] {
        auto made = NSColor::dynamic(rgb(0, 120, 250), rgb(10, 132, 255), std::string("controlAccentColor"));
        made->followsAccent_ = true;
        return made;
    }();
    return color;
}
SYSTEM_COLOR(systemRedColor, rgb(255, 59, 48), rgb(255, 69, 58))
SYSTEM_COLOR(systemOrangeColor, rgb(255, 149, 0), rgb(255, 159, 10))
SYSTEM_COLOR(systemYellowColor, rgb(255, 204, 0), rgb(255, 214, 10))
SYSTEM_COLOR(systemGreenColor, rgb(40, 200, 64), rgb(50, 215, 75))
SYSTEM_COLOR(systemTealColor, rgb(89, 173, 196), rgb(106, 196, 220))
SYSTEM_COLOR(systemBlueColor, rgb(0, 122, 255), rgb(10, 132, 255))
SYSTEM_COLOR(systemPinkColor, rgb(255, 45, 85), rgb(255, 55, 95))
SYSTEM_COLOR(systemGrayColor, rgb(142, 142, 147), rgb(152, 152, 157))
SYSTEM_COLOR(linkColor, rgb(0, 104, 218), rgb(65, 156, 255))
FIXED_COLOR(clearColor, CGColor::clear())
FIXED_COLOR(whiteColor, CGColor::white())
FIXED_COLOR(blackColor, CGColor::black())
FIXED_COLOR(redColor, (CGColor{1, 0, 0, 1}))
FIXED_COLOR(greenColor, (CGColor{0, 1, 0, 1}))
FIXED_COLOR(blueColor, (CGColor{0, 0, 1, 1}))
FIXED_COLOR(grayColor, CGColor::gray(0.5))
FIXED_COLOR(lightGrayColor, CGColor::gray(2.0 / 3.0))
FIXED_COLOR(darkGrayColor, CGColor::gray(1.0 / 3.0))

CGColor NSColor::resolved() const {
    if (followsAccent_) {
        if (auto accent = NSApplication::shared().accentColor()) return accent->copy(light_.alpha);
    }
    return dark_ && drawingIsDark() ? *dark_ : light_;
}

std::shared_ptr<NSColor> NSColor::withAlphaComponent(CGFloat alpha) const {
    std::optional<CGColor> dark;
    if (dark_) dark = dark_->copy(alpha);
    auto color = std::make_shared<NSColor>(light_.copy(alpha), dark, space_, std::nullopt);
    color->followsAccent_ = followsAccent_;
    return color;
}

std::shared_ptr<NSColor> NSColor::usingColorSpace(NSColorSpace space) const {
    return std::make_shared<NSColor>(resolved(), std::nullopt, space, std::nullopt);
}

void NSColor::set() const {
    setFill();
    setStroke();
}

void NSColor::setFill() const {
    if (auto context = NSGraphicsContext::current()) context->cgContext()->setFillColor(resolved());
}

void NSColor::setStroke() const {
    if (auto context = NSGraphicsContext::current()) context->cgContext()->setStrokeColor(resolved());
}
