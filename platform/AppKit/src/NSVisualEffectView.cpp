#include "AppKit/NSVisualEffectView.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"

void NSVisualEffectView::setState(State state) {
    state_ = state;
    setNeedsDisplay(true);
}

void NSVisualEffectView::setMaterial(Material material) {
    material_ = material;
    setNeedsDisplay(true);
}

void NSVisualEffectView::setEmphasized(bool emphasized) {
    emphasized_ = emphasized;
    setNeedsDisplay(true);
}

void NSVisualEffectView::draw(const CGRect&) {
    std::shared_ptr<NSColor> color;
    switch (material_) {
        case Material::selection:
            color = emphasized_ ? NSColor::controlAccentColor() : NSColor::controlAccentColor()->withAlphaComponent(0.5);
            break;
        case Material::menu:
        case Material::popover:
        case Material::sheet:
        case Material::windowBackground:
        case Material::underWindowBackground:
            color = NSColor::windowBackgroundColor();
            break;
        default:
            color = NSColor::controlBackgroundColor();
            break;
    }
    const CGFloat radius = layer() ? layer()->cornerRadius() : 0;
    color->setFill();
    NSBezierPath::roundedRect(bounds(), radius, radius)->fill();
}
