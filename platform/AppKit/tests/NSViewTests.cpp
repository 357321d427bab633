#include <gtest/gtest.h>

#include "AppKit/NSView.hpp"

namespace {
class FlippedView : public NSView {
public:
    using NSView::NSView;
    bool isFlipped() const override { return true; }
};
}  // namespace

TEST(NSView, TreeKeepsOrderAndWeakSuperview) {
    auto parent = NSView::make({0, 0, 100, 100});
    auto a = NSView::make(), b = NSView::make(), c = NSView::make();
    parent->addSubview(a);
    parent->addSubview(c);
    parent->addSubview(b, NSView::Ordering::below, c);
    EXPECT_EQ(parent->subviews(), (std::vector<std::shared_ptr<NSView>>{a, b, c}));
    EXPECT_EQ(b->superview(), parent);
    b->removeFromSuperview();
    EXPECT_FALSE(b->superview());
    EXPECT_EQ(parent->subviews().size(), 2u);

    std::weak_ptr<NSView> weakParent = parent;
    parent.reset();  // subviews do not keep their superview alive
    EXPECT_TRUE(weakParent.expired());
    EXPECT_FALSE(a->superview());
}

TEST(NSView, EdgeConstraintsFillTheSuperviewAndFollowItsSize) {
    auto parent = NSView::make({0, 0, 300, 200});
    auto child = NSView::make();
    parent->addSubview(child);
    child->setTranslatesAutoresizingMaskIntoConstraints(false);
    NSLayoutConstraint::activate({child->topAnchor().constraint(parent->topAnchor(), 10),
                                  child->bottomAnchor().constraint(parent->bottomAnchor(), -20),
                                  child->leadingAnchor().constraint(parent->leadingAnchor(), 5),
                                  child->trailingAnchor().constraint(parent->trailingAnchor(), -5)});
    EXPECT_EQ(parent->constraints().size(), 4u);  // held by the common ancestor
    parent->layoutSubtreeIfNeeded();
    // Unflipped: the top inset of 10 puts the child's top edge at y = 190.
    EXPECT_EQ(child->frame(), (CGRect{5, 20, 290, 170}));

    parent->setFrameSize({400, 100});
    parent->layoutSubtreeIfNeeded();
    EXPECT_EQ(child->frame(), (CGRect{5, 20, 390, 70}));
}

TEST(NSView, ConstantSizesCentresAndFlippedSuperviews) {
    auto parent = std::make_shared<FlippedView>(CGRect{0, 0, 200, 100});
    auto badge = NSView::make(), label = NSView::make();
    parent->addSubview(badge);
    parent->addSubview(label);
    for (auto& v : {badge, label}) v->setTranslatesAutoresizingMaskIntoConstraints(false);
    NSLayoutConstraint::activate({badge->widthAnchor().constraint(20.0), badge->heightAnchor().constraint(10.0),
                                  badge->centerXAnchor().constraint(parent->centerXAnchor()),
                                  badge->topAnchor().constraint(parent->topAnchor(), 4),
                                  label->leadingAnchor().constraint(badge->trailingAnchor(), 8),
                                  label->centerYAnchor().constraint(badge->centerYAnchor()),
                                  label->widthAnchor().constraint(50.0), label->heightAnchor().constraint(30.0)});
    EXPECT_EQ(badge->constraints().size(), 2u);  // sizes are held by the view itself
    parent->layoutSubtreeIfNeeded();
    EXPECT_EQ(badge->frame(), (CGRect{90, 4, 20, 10}));
    EXPECT_EQ(label->frame(), (CGRect{118, -6, 50, 30}));
}

TEST(NSView, RemovingAViewDropsConstraintsThatTieItToTheOldTree) {
    auto parent = NSView::make({0, 0, 100, 100});
    auto child = NSView::make();
    parent->addSubview(child);
    auto constraint = child->topAnchor().constraint(parent->topAnchor());
    constraint->setActive(true);
    child->removeFromSuperview();
    EXPECT_TRUE(parent->constraints().empty());
    EXPECT_FALSE(constraint->isActive());
}

TEST(NSView, ConvertsPointsBetweenFlippedAndUnflippedViews) {
    auto root = NSView::make({0, 0, 200, 200});
    auto flipped = std::make_shared<FlippedView>(CGRect{10, 10, 100, 100});
    auto inner = NSView::make({20, 30, 40, 40});
    root->addSubview(flipped);
    flipped->addSubview(inner);
    // inner's bottom-left corner sits 30 points below flipped's top edge, and 40 points tall.
    EXPECT_EQ(root->convert({0, 0}, inner.get()), (CGPoint{30, 110 - 70}));
    EXPECT_EQ(inner->convert(CGPoint{30, 40}, root.get()), (CGPoint{0, 0}));
    EXPECT_EQ(flipped->convert(CGPoint{30, 40}, root.get()), (CGPoint{20, 70}));
}

TEST(NSView, HitTestFindsTheTopmostVisibleViewUnderThePoint) {
    auto root = NSView::make({0, 0, 200, 200});
    auto flipped = std::make_shared<FlippedView>(CGRect{10, 10, 100, 100});
    auto inner = NSView::make({20, 10, 40, 40});  // 10 points below flipped's top edge
    auto cover = NSView::make({0, 0, 50, 50});
    root->addSubview(flipped);
    flipped->addSubview(inner);
    root->addSubview(cover);

    EXPECT_EQ(root->hitTest({40, 40}), cover);       // added last, drawn on top
    EXPECT_EQ(root->hitTest({40, 90}), inner);       // inner spans y 60..100 in root coordinates
    EXPECT_EQ(root->hitTest({100, 20}), flipped);
    EXPECT_EQ(root->hitTest({150, 150}), root);
    EXPECT_EQ(root->hitTest({250, 10}), nullptr);
    cover->setHidden(true);
    EXPECT_EQ(root->hitTest({15, 15}), flipped);

    EXPECT_EQ(inner->nextResponder(), flipped.get());  // unhandled events go up the tree
}

TEST(NSView, BackingLayerOfAFlippedViewHasFlippedGeometry) {
    auto flipped = std::make_shared<FlippedView>(CGRect{0, 0, 50, 50});
    flipped->setWantsLayer(true);
    EXPECT_TRUE(flipped->layer()->isGeometryFlipped());
    auto plain = NSView::make({0, 0, 50, 50});
    plain->setWantsLayer(true);
    EXPECT_FALSE(plain->layer()->isGeometryFlipped());
}
