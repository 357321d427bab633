#include "ZododuvoZoz/ViewExtensions.hpp"

#include <algorithm>
#include <cctype>
#include <string>

#include "AppKit/NSAppearance.hpp"
#include "ColorConversions.hpp"
#include "ZododuvoZoz/AppearanceExtensions.hpp"

namespace ZododuvoZoz {
namespace {
bool nameIsDark(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name.find("dark") != std::string::npos;
}
}  // namespace

bool isDarkMode() {
    auto appearance = NSAppearance::currentDrawing();
    return appearance && nameIsDark(appearance->name());
}

bool isDarkMode(const NSView& view) { return nameIsDark(view.effectiveAppearance()->name()); }

void applyCornerRadius(NSView& view) { applyCornerRadius(view, 8.0); }

void applyCornerRadius(NSView& view, CGFloat radius) {
    view.setWantsLayer(true);
    if (auto layer = view.layer()) layer->setCornerRadius(radius);
}

void applyCornerRadius(NSView& view, CGFloat radius, const std::shared_ptr<NSColor>& color) {
    view.setWantsLayer(true);
    if (auto layer = view.layer()) {
        layer->setCornerRadius(radius);
        layer->setBackgroundColor(cgColorOrNone(color));
    }
}

void setLayerBackground(NSView& view, const std::shared_ptr<NSColor>& color) {
    view.setWantsLayer(true);
    if (auto layer = view.layer()) layer->setBackgroundColor(cgColorOrNone(color));
}

}  // namespace ZododuvoZoz
