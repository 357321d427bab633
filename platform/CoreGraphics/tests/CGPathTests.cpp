#include <gtest/gtest.h>

#include "CoreGraphics/CGPath.hpp"

TEST(CGPath, WalksElementsAndTracksTheCurrentPoint) {
    CGMutablePath path;
    EXPECT_TRUE(path.isEmpty());
    EXPECT_FALSE(path.currentPoint());
    EXPECT_TRUE(path.boundingBox().isNull());

    path.move({1, 2});
    path.addLine({5, 2});
    path.addCurve({5, 8}, {7, 2}, {7, 8});
    EXPECT_EQ(path.currentPoint(), (CGPoint{5, 8}));
    path.closeSubpath();
    EXPECT_EQ(path.currentPoint(), (CGPoint{1, 2}));  // back at the subpath's start

    std::vector<CGPathElementType> types;
    path.apply([&](const CGPathElement& e) { types.push_back(e.type); });
    EXPECT_EQ(types, (std::vector{CGPathElementType::moveToPoint, CGPathElementType::addLineToPoint,
                                  CGPathElementType::addCurveToPoint, CGPathElementType::closeSubpath}));
    EXPECT_EQ(path.elements()[2].endPoint(), (CGPoint{5, 8}));
    EXPECT_EQ(path.boundingBox(), (CGRect{1, 2, 6, 6}));  // control points count
}

TEST(CGPath, ComparesOnlyThePointsAnElementUses) {
    CGMutablePath a, b;
    a.move({1, 1});
    b.move({1, 1});
    a.closeSubpath();
    b.closeSubpath();
    EXPECT_EQ(a, b);
    CGPathElement lineA{CGPathElementType::addLineToPoint, {CGPoint{2, 2}, CGPoint{9, 9}}};
    CGPathElement lineB{CGPathElementType::addLineToPoint, {CGPoint{2, 2}, CGPoint{0, 0}}};
    EXPECT_EQ(lineA, lineB);
    b.addLine({3, 3});
    EXPECT_NE(a, b);

    auto moved = b.applying(CGAffineTransform::translation(10, 0));
    EXPECT_EQ(moved.elements().back().points[0], (CGPoint{13, 3}));
}

TEST(CGPath, RectanglesAndRoundedRectanglesAreClosedAndKeepTheirBounds) {
    CGMutablePath rect;
    rect.addRect({10, 20, -4, 5});  // a negative width is standardised
    ASSERT_EQ(rect.elements().size(), 5u);
    EXPECT_EQ(rect.elements()[0].points[0], (CGPoint{6, 20}));
    EXPECT_EQ(rect.elements()[4].type, CGPathElementType::closeSubpath);

    CGMutablePath rounded;
    rounded.addRoundedRect({0, 0, 20, 10}, 50, 50);  // corners limited to half the sides
    EXPECT_EQ(rounded.boundingBox(), (CGRect{0, 0, 20, 10}));
    EXPECT_EQ(rounded.elements().front().points[0], (CGPoint{10, 0}));
    EXPECT_EQ(rounded.elements().back().type, CGPathElementType::closeSubpath);

    CGMutablePath square;
    square.addRoundedRect({0, 0, 20, 10}, 0, 3);  // no rounding in one direction: a plain rectangle
    EXPECT_EQ(square, rect.applying(CGAffineTransform::translation(-6, -20)).applying(CGAffineTransform::scale(5, 2)));
}
