#include "AppKit/NSLayoutConstraint.hpp"

#include "AppKit/NSView.hpp"

namespace {
// The nearest view that is (or contains) both items.
std::shared_ptr<NSView> commonAncestor(const std::shared_ptr<NSView>& a, const std::shared_ptr<NSView>& b) {
    if (!a) return b;
    if (!b) return a;
    for (auto view = a; view; view = view->superview()) {
        if (view == b || b->isDescendant(*view)) return view;
    }
    return nullptr;
}
}  // namespace

NSLayoutConstraint::NSLayoutConstraint(const std::shared_ptr<NSView>& firstItem, NSLayoutAttribute firstAttribute,
                                       NSLayoutRelation relation, const std::shared_ptr<NSView>& secondItem,
                                       NSLayoutAttribute secondAttribute, CGFloat multiplier, CGFloat constant)
    : firstItem_(firstItem),
      firstAttribute_(firstAttribute),
      relation_(relation),
      secondItem_(secondItem),
      secondAttribute_(secondAttribute),
      multiplier_(multiplier),
      constant_(constant) {}

void NSLayoutConstraint::setConstant(CGFloat constant) {
    constant_ = constant;
    if (auto holder = holder_.lock()) holder->setNeedsLayout();
}

void NSLayoutConstraint::setActive(bool active) {
    if (active == active_) return;
    if (active) {
        auto holder = commonAncestor(firstItem(), secondItem());
        if (!holder) return;  // items in different trees cannot be related
        active_ = true;
        holder_ = holder;
        holder->addConstraint(shared_from_this());
    } else {
        active_ = false;
        if (auto holder = holder_.lock()) holder->removeConstraint(shared_from_this());
        holder_.reset();
    }
}

void NSLayoutConstraint::activate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints) c->setActive(true);
}

void NSLayoutConstraint::deactivate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints) c->setActive(false);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraint(const NSLayoutAnchor& equalTo, CGFloat constant) const {
    return std::make_shared<NSLayoutConstraint>(item(), attribute_, NSLayoutRelation::equal, equalTo.item(),
                                                equalTo.attribute_, 1.0, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintGreaterThanOrEqualTo(const NSLayoutAnchor& other,
                                                                                   CGFloat constant) const {
    return std::make_shared<NSLayoutConstraint>(item(), attribute_, NSLayoutRelation::greaterThanOrEqual, other.item(),
                                                other.attribute_, 1.0, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintLessThanOrEqualTo(const NSLayoutAnchor& other,
                                                                                CGFloat constant) const {
    return std::make_shared<NSLayoutConstraint>(item(), attribute_, NSLayoutRelation::lessThanOrEqual, other.item(),
                                                other.attribute_, 1.0, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraint(CGFloat equalToConstant) const {
    return std::make_shared<NSLayoutConstraint>(item(), attribute_, NSLayoutRelation::equal, nullptr,
                                                NSLayoutAttribute::notAnAttribute, 1.0, equalToConstant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraint(const NSLayoutAnchor& equalTo, CGFloat multiplier,
                                                               CGFloat constant) const {
    return std::make_shared<NSLayoutConstraint>(item(), attribute_, NSLayoutRelation::equal, equalTo.item(),
                                                equalTo.attribute_, multiplier, constant);
}
