#pragma once
// Layout constraints between the edges, centres and sizes of views:
// first.attribute = multiplier * second.attribute + constant.
// Top and bottom values grow downwards, as in every window, whichever way a view is flipped.
#include <memory>
#include <string>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

class NSView;

enum class NSLayoutAttribute {
    notAnAttribute = 0, left = 1, right = 2, top = 3, bottom = 4, leading = 5, trailing = 6,
    width = 7, height = 8, centerX = 9, centerY = 10
};

enum class NSLayoutRelation { lessThanOrEqual = -1, equal = 0, greaterThanOrEqual = 1 };

class NSLayoutConstraint : public std::enable_shared_from_this<NSLayoutConstraint> {
public:
    NSLayoutConstraint(const std::shared_ptr<NSView>& firstItem, NSLayoutAttribute firstAttribute,
                       NSLayoutRelation relation, const std::shared_ptr<NSView>& secondItem,
                       NSLayoutAttribute secondAttribute, CGFloat multiplier, CGFloat constant);

    std::shared_ptr<NSView> firstItem() const { return firstItem_.lock(); }
    NSLayoutAttribute firstAttribute() const { return firstAttribute_; }
    NSLayoutRelation relation() const { return relation_; }
    std::shared_ptr<NSView> secondItem() const { return secondItem_.lock(); }
    NSLayoutAttribute secondAttribute() const { return secondAttribute_; }
    CGFloat multiplier() const { return multiplier_; }
    CGFloat constant() const { return constant_; }
    void setConstant(CGFloat constant);
    /// A name to find the constraint by; empty unless set.
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
    float priority() const { return priority_; }
    void setPriority(float priority) { priority_ = priority; }

    bool isActive() const { return active_; }
    /// Activating adds the constraint to the nearest common ancestor of its items.
    void setActive(bool active);
    static void activate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
    static void deactivate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);

private:
    std::weak_ptr<NSView> firstItem_;
    NSLayoutAttribute firstAttribute_;
    NSLayoutRelation relation_;
    std::weak_ptr<NSView> secondItem_;
    NSLayoutAttribute secondAttribute_;
    CGFloat multiplier_;
    CGFloat constant_;
    std::string identifier_;
    float priority_ = 1000;
    bool active_ = false;
    std::weak_ptr<NSView> holder_;
};

/// One edge, centre or size of a view, from which constraints are made.
class NSLayoutAnchor {
public:
    NSLayoutAnchor(const std::shared_ptr<NSView>& item, NSLayoutAttribute attribute) : item_(item), attribute_(attribute) {}

    std::shared_ptr<NSView> item() const { return item_.lock(); }
    NSLayoutAttribute attribute() const { return attribute_; }

    std::shared_ptr<NSLayoutConstraint> constraint(const NSLayoutAnchor& equalTo, CGFloat constant = 0) const;
    std::shared_ptr<NSLayoutConstraint> constraintGreaterThanOrEqualTo(const NSLayoutAnchor& other, CGFloat constant = 0) const;
    std::shared_ptr<NSLayoutConstraint> constraintLessThanOrEqualTo(const NSLayoutAnchor& other, CGFloat constant = 0) const;
    /// Sizes only: the size equal to a constant.
    std::shared_ptr<NSLayoutConstraint> constraint(CGFloat equalToConstant) const;
    /// Sizes only: a multiple of another size plus a constant.
    std::shared_ptr<NSLayoutConstraint> constraint(const NSLayoutAnchor& equalTo, CGFloat multiplier, CGFloat constant) const;

private:
    std::weak_ptr<NSView> item_;
    NSLayoutAttribute attribute_;
};

using NSLayoutXAxisAnchor = NSLayoutAnchor;
using NSLayoutYAxisAnchor = NSLayoutAnchor;
using NSLayoutDimension = NSLayoutAnchor;
