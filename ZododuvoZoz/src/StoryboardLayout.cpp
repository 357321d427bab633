#include "StoryboardLayout.hpp"

namespace ZododuvoZoz::StoryboardLayout {

std::shared_ptr<NSLayoutConstraint> active(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    constraint->setActive(true);
    return constraint;
}

std::shared_ptr<NSTextField> label(bool wrapping, const std::shared_ptr<NSFont>& font, const std::shared_ptr<NSColor>& color) {
    auto field = wrapping ? NSTextField::wrappingLabelWithString("") : NSTextField::labelWithString("");
    field->setTranslatesAutoresizingMaskIntoConstraints(false);
    field->setFont(font);
    field->setTextColor(color);
    return field;
}

Row row(NSView& view, const NSLayoutAnchor& under, CGFloat gap, NSView& container, CGFloat inset, CGFloat height) {
    Row made;
    made.top = active(view.topAnchor().constraint(under, gap));
    made.leading = active(view.leadingAnchor().constraint(container.leadingAnchor(), inset));
    // 0 - inset rather than -inset, so that no inset gives a constant of 0, not of -0.
    made.trailing = active(view.trailingAnchor().constraint(container.trailingAnchor(), 0 - inset));
    made.height = active(view.heightAnchor().constraint(height));
    return made;
}

void fixSize(NSView& view, CGFloat width, CGFloat height) {
    active(view.widthAnchor().constraint(width));
    active(view.heightAnchor().constraint(height));
}

}  // namespace ZododuvoZoz::StoryboardLayout
