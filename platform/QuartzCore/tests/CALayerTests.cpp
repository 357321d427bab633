#include <gtest/gtest.h>

#include "QuartzCore/CALayer.hpp"

TEST(CALayer, FrameFollowsPositionAnchorPointAndBounds) {
    auto layer = CALayer::make();
    layer->setFrame({10, 20, 100, 50});
    EXPECT_EQ(layer->bounds(), (CGRect{0, 0, 100, 50}));
    EXPECT_EQ(layer->position(), (CGPoint{60, 45}));

    layer->setAnchorPoint({0, 0});  // the frame moves, the position stays
    EXPECT_EQ(layer->frame(), (CGRect{60, 45, 100, 50}));
    layer->setFrame({0, 0, 40, 40});
    EXPECT_EQ(layer->position(), (CGPoint{0, 0}));

    layer->setAffineTransform(CGAffineTransform::scale(2, 2));
    EXPECT_EQ(layer->frame(), (CGRect{0, 0, 80, 80}));
}

TEST(CALayer, SublayersKeepOrderAndMoveBetweenParents) {
    auto a = CALayer::make(), b = CALayer::make();
    auto x = CALayer::make(), y = CALayer::make(), z = CALayer::make();
    a->addSublayer(x);
    a->addSublayer(z);
    a->insertSublayer(y, 1);
    EXPECT_EQ(a->sublayers(), (std::vector<std::shared_ptr<CALayer>>{x, y, z}));
    EXPECT_EQ(y->superlayer(), a);

    b->addSublayer(y);  // adding elsewhere takes it out of its old parent
    EXPECT_EQ(a->sublayers(), (std::vector<std::shared_ptr<CALayer>>{x, z}));
    EXPECT_EQ(y->superlayer(), b);

    a->insertSublayer(y, x, true);
    EXPECT_EQ(a->sublayers(), (std::vector<std::shared_ptr<CALayer>>{x, y, z}));
    y->removeFromSuperlayer();
    EXPECT_FALSE(y->superlayer());
    y->removeFromSuperlayer();  // twice is harmless
    EXPECT_EQ(a->sublayers().size(), 2u);
}

TEST(CALayer, ConvertsPointsThroughTheTree) {
    auto root = CALayer::make(), child = CALayer::make(), grandchild = CALayer::make();
    root->setFrame({0, 0, 200, 200});
    child->setFrame({10, 20, 100, 100});
    grandchild->setFrame({5, 5, 10, 10});
    root->addSublayer(child);
    child->addSublayer(grandchild);
    EXPECT_EQ(grandchild->convert({1, 1}, nullptr), (CGPoint{16, 26}));
    EXPECT_EQ(grandchild->convert({1, 1}, child.get()), (CGPoint{6, 6}));
}
