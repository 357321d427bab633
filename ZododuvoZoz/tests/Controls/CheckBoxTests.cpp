#include <gtest/gtest.h>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSCursor.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "ControlTestSupport.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "QuartzCore/CATransaction.hpp"
#include "ZododuvoZoz/Controls/CheckBox.hpp"

namespace ZododuvoZoz::ControlTesting {
namespace {

struct StateLog : CheckBoxDelegate {
    std::vector<long> states;
    void checkBox(NSControl::StateValue didChangeState) override { states.push_back(didChangeState.rawValue); }
};

// Counts redraws and whether each ran with implicit animations disabled.
class CountingCheckBox : public CheckBox {
public:
    using CheckBox::CheckBox;
    int redraws = 0;
    int quietRedraws = 0;
    void redraw() override {
        ++redraws;
        if (CATransaction::disableActions()) ++quietRedraws;
        CheckBox::redraw();
    }
};

using CheckBoxTest = ControlTest;

TEST_F(CheckBoxTest, StartsMixedAndClicksCycleOffOnOff) {
    auto box = CheckBox::make({0, 0, 20, 20});
    auto log = std::make_shared<StateLog>();
    box->setDelegate(log);
    CGColor accent = inAppearance(NSColor::controlAccentColor());
    EXPECT_EQ(box->state(), NSControl::StateValue::mixed());
    EXPECT_EQ(box->shapeLayer()->fillColor(), accent);
    EXPECT_EQ(box->imageLayer()->path(), box->mixedPath());
    EXPECT_EQ(sublayersOf(*box->layer()), (std::vector<const CALayer*>{box->shapeLayer().get(), box->imageLayer().get()}));

    auto window = windowWith(box);
    CGPoint centre = inWindow(*box, {10, 10});
    HeadlessWindowBackend::click(*window, centre);
    EXPECT_EQ(box->state(), NSControl::StateValue::off());
    EXPECT_EQ(box->shapeLayer()->fillColor(), inAppearance(NSColor::systemGrayColor()));
    EXPECT_EQ(sublayersOf(*box->layer()), (std::vector<const CALayer*>{box->shapeLayer().get()}));  // no mark
    HeadlessWindowBackend::click(*window, centre);
    EXPECT_EQ(box->shapeLayer()->fillColor(), accent);
    EXPECT_EQ(box->imageLayer()->path(), box->checkMarkPath());
    HeadlessWindowBackend::click(*window, centre);
    EXPECT_EQ(log->states, (std::vector<long>{0, 1, 0}));
}

TEST_F(CheckBoxTest, DisabledBoxesIgnoreClicksButKeepTheirLookAndTheHand) {
    auto box = CheckBox::make({0, 0, 20, 20});
    auto log = std::make_shared<StateLog>();
    box->setDelegate(log);
    box->setState(NSControl::StateValue::on());
    box->setEnabled(false);
    auto window = windowWith(box);
    HeadlessWindowBackend::click(*window, inWindow(*box, {10, 10}));
    EXPECT_EQ(box->state(), NSControl::StateValue::on());
    EXPECT_TRUE(log->states.empty());
    EXPECT_EQ(box->shapeLayer()->fillColor(), inAppearance(NSColor::controlAccentColor()));
    EXPECT_EQ(window->cursorAt(inWindow(*box, {10, 10})), NSCursor::pointingHandCursor());
    EXPECT_EQ(window->cursorAt({5, 5}), NSCursor::arrowCursor());
}

TEST_F(CheckBoxTest, StateChangesRedrawOnceWithoutAnimation) {
    auto box = std::make_shared<CountingCheckBox>(CGRect{0, 0, 20, 20});
    box->setState(NSControl::StateValue::mixed());  // the same: nothing
    EXPECT_EQ(box->redraws, 0);
    box->setState(NSControl::StateValue::on());
    EXPECT_EQ(box->redraws, 1);
    EXPECT_EQ(box->quietRedraws, 1);
    EXPECT_EQ(CATransaction::depth(), 0);

    // A raw value outside the three keeps the look, and a click keeps the value and reports it.
    box->setState(NSControl::StateValue{5});
    EXPECT_EQ(box->shapeLayer()->fillColor(), inAppearance(NSColor::controlAccentColor()));
    EXPECT_EQ(box->imageLayer()->path(), box->checkMarkPath());
    EXPECT_EQ(sublayersOf(*box->layer()), (std::vector<const CALayer*>{box->shapeLayer().get()}));
    auto log = std::make_shared<StateLog>();
    box->setDelegate(log);
    auto window = windowWith(box);
    int before = box->redraws;
    HeadlessWindowBackend::click(*window, inWindow(*box, {10, 10}));
    EXPECT_EQ(box->state().rawValue, 5);
    EXPECT_EQ(box->redraws, before);
    EXPECT_EQ(log->states, (std::vector<long>{5}));
}

TEST_F(CheckBoxTest, DrawingScalesWithTheWidth) {
    auto box = CheckBox::make({0, 0, 20, 20});
    EXPECT_EQ(box->shapeLayer()->path(), cgPath(*NSBezierPath::roundedRect({0, 0, 20, 20}, 4, 4)));
    EXPECT_DOUBLE_EQ(box->imageLayer()->lineWidth(), 20.0 / 7);

    // The check's low vertex lies below the middle; its arms go up to both sides.
    box->setFrameSize({70, 70});
    box->setState(NSControl::StateValue::on());
    const auto& points = box->imageLayer()->path()->elements();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_NEAR(points[1].endPoint().x, 70 / 2.33, 1e-9);
    EXPECT_NEAR(points[1].endPoint().y, 20, 1e-9);
    EXPECT_NEAR(points[2].endPoint().y, 70 - 70 / 3.0, 1e-9);

    // Made without a size, it draws for the size its window's layout gives it.
    auto late = CheckBox::make();
    auto window = windowWith(late);
    late->setFrameSize({20, 20});
    window->layoutIfNeeded();
    EXPECT_EQ(late->shapeLayer()->path(), cgPath(*NSBezierPath::roundedRect({0, 0, 20, 20}, 4, 4)));
    EXPECT_EQ(late->imageLayer()->path(), late->mixedPath());
}

using CheckBoxRender = ControlTest;

TEST_F(CheckBoxRender, WhiteCheckOnTheAccentBox) {
    auto box = CheckBox::make({0, 0, 70, 70});
    box->setState(NSControl::StateValue::on());
    auto image = ViewRenderer::image(*box);
    EXPECT_EQ(pixelAt(*image, 70 / 2.33, 20.5), opaque(255, 255, 255));  // the check's low vertex
    CGColor accent = inAppearance(NSColor::controlAccentColor());
    EXPECT_TRUE(near(pixelAt(*image, 35, 60),
                      opaque(int(accent.red * 255 + 0.5), int(accent.green * 255 + 0.5), int(accent.blue * 255 + 0.5))));
    EXPECT_EQ(pixelAt(*image, 0, 0), (Bytes{0, 0, 0, 0}));  // rounded corner

    box->setState(NSControl::StateValue::off());
    auto off = ViewRenderer::image(*box);
    EXPECT_NE(pixelAt(*off, 70 / 2.33, 20.5), opaque(255, 255, 255));
}

}  // namespace
}  // namespace ZododuvoZoz::ControlTesting
