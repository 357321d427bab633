#include "ZuzeDiv/ViewExtensions.hpp"

namespace ZuzeDiv {

void pinToSuperview(NSView& view) {
    auto superview = view.superview();
    if (!superview) return;
    view.setTranslatesAutoresizingMaskIntoConstraints(false);
    view.topAnchor().constraint(superview->topAnchor(), 0)->setActive(true);
    view.bottomAnchor().constraint(superview->bottomAnchor(), 0)->setActive(true);
    view.leadingAnchor().constraint(superview->leadingAnchor(), 0)->setActive(true);
    view.trailingAnchor().constraint(superview->trailingAnchor(), 0)->setActive(true);
}

void removeAllSubviews(NSView& view) {
    for (const auto& subview : std::vector<std::shared_ptr<NSView>>(view.subviews())) subview->removeFromSuperview();
    view.setSubviews({});
}

}  // namespace ZuzeDiv
