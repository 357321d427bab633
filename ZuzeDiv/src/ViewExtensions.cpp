#include "ZuzeDiv/ViewExtensions.hpp"

namespace ZuzeDiv {

void pinToSuperview(NSView& view) { pinToSuperview(view, 0, 0, 0, 0); }

void pinToSuperview(NSView& view, CGFloat top, CGFloat leading, CGFloat bottom, CGFloat trailing) {
    auto superview = view.superview();
    if (!superview) return;
    view.setTranslatesAutoresizingMaskIntoConstraints(false);
    view.topAnchor().constraint(superview->topAnchor(), top)->setActive(true);
    view.bottomAnchor().constraint(superview->bottomAnchor(), bottom)->setActive(true);
    view.leadingAnchor().constraint(superview->leadingAnchor(), leading)->setActive(true);
    view.trailingAnchor().constraint(superview->trailingAnchor(), trailing)->setActive(true);
}

void centerInSuperview(NSView& view, CGFloat width, CGFloat height) {
    auto superview = view.superview();
    if (!superview) return;
    view.setTranslatesAutoresizingMaskIntoConstraints(false);
    view.centerXAnchor().constraint(superview->centerXAnchor())->setActive(true);
    view.centerYAnchor().constraint(superview->centerYAnchor())->setActive(true);
    view.widthAnchor().constraint(width)->setActive(true);
    view.heightAnchor().constraint(height)->setActive(true);
}

void removeAllSubviews(NSView& view) {
    for (const auto& subview : std::vector<std::shared_ptr<NSView>>(view.subviews())) subview->removeFromSuperview();
    view.setSubviews({});
}

void setAnchorPoint(CALayer& layer, CGPoint anchorPoint) {
    const CGRect bounds = layer.bounds();
    const CGAffineTransform transform = layer.affineTransform();
    const CGPoint oldAnchor = layer.anchorPoint();
    CGPoint newPoint = transform.apply(CGPoint{bounds.size.width * anchorPoint.x, bounds.size.height * anchorPoint.y});
    CGPoint oldPoint = transform.apply(CGPoint{bounds.size.width * oldAnchor.x, bounds.size.height * oldAnchor.y});
    CGPoint position = layer.position();
    position.x += newPoint.x - oldPoint.x;
    position.y += newPoint.y - oldPoint.y;
    layer.setPosition(position);
    layer.setAnchorPoint(anchorPoint);
}

bool isDarkAqua(const NSView& view) {
    auto appearance = view.effectiveAppearance();
    return appearance && appearance->name() == NSAppearanceNameDarkAqua;
}

}  // namespace ZuzeDiv
