#include <gtest/gtest.h>

#include <cmath>

#include "Testing/TestEnvironment.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"
#include "ZuzeDiv/ComparableExtensions.hpp"
#include "ZuzeDiv/DataExtensions.hpp"
#include "ZuzeDiv/DateExtensions.hpp"
#include "ZuzeDiv/StringExtensions.hpp"
#include "ZuzeDiv/URLExtensions.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

using namespace ZuzeDiv;

TEST(Clamped, LowerBoundFirstUpperBoundLast) {
    EXPECT_EQ(clamped(5, 0, 10), 5);
    EXPECT_EQ(clamped(-3, 0, 10), 0);
    EXPECT_EQ(clamped(12, 0, 10), 10);
    for (int value : {-5, 5, 15}) EXPECT_EQ(clamped(value, 10, 0), 0);  // inverted bounds: the upper wins
    EXPECT_EQ(clamped(1.7, 0.0, 1.0), 1.0);
    EXPECT_EQ(clamped(-0.2, 0.0, 1.0), 0.0);
    EXPECT_TRUE(std::isnan(clamped(std::nan(""), 0.0, 1.0)));
}

TEST(StringHelpers, NilOrEmpty) {
    EXPECT_TRUE(isNilOrEmpty(std::nullopt));
    EXPECT_TRUE(isNilOrEmpty(std::string()));
    EXPECT_TRUE(isNilOrEmpty(emptyString()));
    EXPECT_FALSE(isNilOrEmpty(std::string(" ")));
    EXPECT_FALSE(isNilOrEmpty(std::string("a")));
}

TEST(DataHelpers, LittleEndianIntegersWithMissingBytesAsZero) {
    EXPECT_EQ(uint8Value({}), 0);
    EXPECT_EQ(uint8Value({0x64, 0x01}), 100);
    EXPECT_EQ(uint16Value({0x64, 0x01}), 356);
    EXPECT_EQ(uint32Value({0x01, 0x02}), 513u);
    EXPECT_EQ(uint32Value({0xFF, 0xFF, 0xFF, 0xFF, 0x12}), 4294967295u);
    EXPECT_EQ(byteAt({0x4C, 0x00, 0x02}, 1), 0);
    EXPECT_THROW(byteAt({0x4C}, 1), std::out_of_range);
}

class CurrentTimestamp : public VirtualTimeTest {};

TEST_F(CurrentTimestamp, ReadsTheProcessClock) {
    clock_->set(1700000000.25);
    EXPECT_EQ(currentTimestamp(), 1700000000.25);
}

TEST(ContentType, OfFilesOnDisk) {
    TemporaryDirectory folder;
    auto png = folder.write("picture.png", "x");
    EXPECT_EQ(contentType(URL::fileURLWithPath(png.string()))->identifier(), "public.png");
    EXPECT_FALSE(contentType(URL::fileURLWithPath((folder.path() / "missing.png").string())));
}

TEST(ViewHelpers, PinToSuperviewMakesFourConstraintsInOrder) {
    auto lonely = NSView::make({0, 0, 10, 10});
    pinToSuperview(*lonely);
    EXPECT_TRUE(lonely->translatesAutoresizingMaskIntoConstraints());  // untouched without a superview

    auto parent = NSView::make({0, 0, 120, 80});
    auto child = NSView::make({3, 3, 3, 3});
    parent->addSubview(child);
    pinToSuperview(*child);
    EXPECT_FALSE(child->translatesAutoresizingMaskIntoConstraints());
    const auto& constraints = parent->constraints();
    ASSERT_EQ(constraints.size(), 4u);
    NSLayoutAttribute expected[] = {NSLayoutAttribute::top, NSLayoutAttribute::bottom, NSLayoutAttribute::leading,
                                    NSLayoutAttribute::trailing};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(constraints[i]->firstItem(), child);
        EXPECT_EQ(constraints[i]->firstAttribute(), expected[i]);
        EXPECT_EQ(constraints[i]->secondItem(), parent);
        EXPECT_EQ(constraints[i]->constant(), 0);
    }
    parent->layoutSubtreeIfNeeded();
    EXPECT_EQ(child->frame(), parent->bounds());
}

TEST(ViewHelpers, RemoveAllSubviewsAndLayers) {
    auto parent = NSView::make();
    removeAllSubviews(*parent);
    EXPECT_TRUE(parent->subviews().empty());
    auto a = NSView::make(), b = NSView::make();
    parent->addSubview(a);
    parent->addSubview(b);
    removeAllSubviews(*parent);
    EXPECT_TRUE(parent->subviews().empty());
    EXPECT_FALSE(a->superview());

    auto root = CALayer::make();
    std::vector<std::shared_ptr<CALayer>> drawn{CALayer::make(), CALayer::make()};
    for (auto& layer : drawn) root->addSublayer(layer);
    auto first = drawn.front();
    removeAllFromSuperlayer(drawn);
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(drawn.capacity(), 0u);
    EXPECT_TRUE(root->sublayers().empty());
    EXPECT_FALSE(first->superlayer());
}
