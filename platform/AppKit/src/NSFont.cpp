#include "AppKit/NSFont.hpp"

#include <array>
#include <utility>

namespace {
// The weights on the 100-900 scale of font files, with the face names that carry them.
std::pair<int, const char*> face(NSFont::Weight weight) {
    static const std::array<std::pair<CGFloat, std::pair<int, const char*>>, 8> ladder{{
        {-0.7, {100, "-Thin"}},
        {-0.5, {200, "-ExtraLight"}},
        {-0.2, {300, "-Light"}},
        {0.1, {400, ""}},
        {0.26, {500, "-Medium"}},
        {0.35, {600, "-Semibold"}},
        {0.5, {700, "-Bold"}},
        {0.6, {800, "-Heavy"}},
    }};
    for (const auto& [below, result] : ladder) {
        if (weight.rawValue < below) return result;
    }
    return {900, "-Black"};
}
}  // namespace

NSFont::NSFont(CGFloat size, Weight weight) : weight_(weight) {
    auto [cssWeight, suffix] = face(weight);
    style_.family = "DejaVu Sans";
    style_.size = size;
    style_.weight = cssWeight;
    fontName_ = std::string("DejaVuSans") + suffix;
}

std::shared_ptr<NSFont> NSFont::systemFont(CGFloat size, Weight weight) { return std::make_shared<NSFont>(size, weight); }

std::shared_ptr<NSFont> NSFont::boldSystemFont(CGFloat size) { return std::make_shared<NSFont>(size, Weight::bold()); }

CGFloat NSFont::ascender() const { return TextLayout::metrics(style_).ascent; }

CGFloat NSFont::descender() const { return -TextLayout::metrics(style_).descent; }

TextStyle NSFont::textStyle(const CGColor& color) const {
    TextStyle style = style_;
    style.color = color;
    return style;
}
