#include <gtest/gtest.h>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSSegmentedControl.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKitTestSupport.hpp"

namespace {
NSEvent mouse(NSEvent::EventType type, CGPoint at) {
    NSEvent event;
    event.type = type;
    event.locationInWindow = at;
    event.clickCount = 1;
    return event;
}

// A press and release, each where given, in the coordinates of the control's superview.
void click(NSView& view, CGPoint down, std::optional<CGPoint> up = std::nullopt) {
    view.mouseDown(mouse(NSEvent::EventType::leftMouseDown, down));
    view.mouseUp(mouse(NSEvent::EventType::leftMouseUp, up.value_or(down)));
}

struct Receiver : NSResponder {
    int calls = 0;
    Selector::Sender lastSender;
    void changed(const Selector::Sender& sender) {
        ++calls;
        lastSender = sender;
    }
};
}  // namespace

using Controls = AppKitTest;

TEST_F(Controls, SegmentedControlSendsOnlyWhenTheSelectionChanges) {
    auto window = NSView::make({0, 0, 300, 100});
    std::vector<int> sent;
    auto control = NSSegmentedControl::make({"In front", "Normal"}, [&](NSControl& sender) {
        sent.push_back(static_cast<NSSegmentedControl&>(sender).selectedSegment());
    });
    control->setFrame({100, 40, 160, 24});
    window->addSubview(control);
    EXPECT_EQ(control->segmentCount(), 2);
    EXPECT_EQ(control->selectedSegment(), -1);
    EXPECT_EQ(control->rectForSegment(1), (CGRect{80, 0, 80, 24}));

    control->setSelectedSegment(1);  // in code: no action
    EXPECT_TRUE(sent.empty());
    click(*window->hitTest({190, 50}), {190, 50});  // segment 1, already selected
    EXPECT_TRUE(sent.empty());
    click(*control, {110, 50});  // segment 0
    EXPECT_EQ(sent, (std::vector<int>{0}));
    click(*control, {110, 50});  // again: no change, no action
    click(*control, {200, 50});
    EXPECT_EQ(sent, (std::vector<int>{0, 1}));

    // A press that is released over another segment or outside selects nothing.
    click(*control, {110, 50}, CGPoint{200, 50});
    click(*control, {110, 50}, CGPoint{110, 90});
    EXPECT_EQ(control->selectedSegment(), 1);
    EXPECT_EQ(sent.size(), 2u);
    // A drag out and back in still counts; the control is highlighted only while inside.
    control->mouseDown(mouse(NSEvent::EventType::leftMouseDown, {110, 50}));
    EXPECT_TRUE(control->isHighlighted());
    control->mouseDragged(mouse(NSEvent::EventType::leftMouseDragged, {110, 90}));
    EXPECT_FALSE(control->isHighlighted());
    control->mouseDragged(mouse(NSEvent::EventType::leftMouseDragged, {112, 50}));
    control->mouseUp(mouse(NSEvent::EventType::leftMouseUp, {112, 50}));
    EXPECT_EQ(sent, (std::vector<int>{0, 1, 0}));
    EXPECT_FALSE(control->isHighlighted());

    control->setEnabled(false);
    click(*control, {200, 50});
    EXPECT_EQ(control->selectedSegment(), 0);
    EXPECT_EQ(sent.size(), 3u);

    // Fewer segments drop a selection that no longer exists.
    control->setSegmentCount(0);
    EXPECT_EQ(control->selectedSegment(), -1);
}

TEST_F(Controls, MomentarySegmentsSendOnEveryClickAndKeepNoSelection) {
    std::vector<int> sent;
    auto control = NSSegmentedControl::make({"A", "B"}, [&](NSControl& sender) {
        sent.push_back(static_cast<NSSegmentedControl&>(sender).selectedSegment());
    });
    control->setTrackingMode(NSSegmentSwitchTracking::momentary);
    CGFloat y = control->bounds().midY();
    click(*control, {2, y});
    click(*control, {2, y});
    EXPECT_EQ(sent, (std::vector<int>{0, 0}));
    EXPECT_EQ(control->selectedSegment(), -1);
}

TEST_F(Controls, ButtonsSendTheirActionOnReleaseInside) {
    auto parent = NSView::make({0, 0, 200, 100});
    auto receiver = std::make_shared<Receiver>();
    auto button = NSButton::make({20, 20, 80, 30});
    button->setTarget(receiver);
    button->setAction(Selector::make("changed:", &Receiver::changed));
    parent->addSubview(button);
    EXPECT_EQ(button->title(), "Button");
    EXPECT_FALSE(button->mouseDownCanMoveWindow());

    click(*button, {50, 30});
    EXPECT_EQ(receiver->calls, 1);
    EXPECT_EQ(std::static_pointer_cast<NSControl>(receiver->lastSender).get(), button.get());
    click(*button, {50, 30}, CGPoint{150, 30});  // released outside
    EXPECT_EQ(receiver->calls, 1);
    button->mouseUp(mouse(NSEvent::EventType::leftMouseUp, {50, 30}));  // no press began here
    EXPECT_EQ(receiver->calls, 1);
    button->setEnabled(false);
    click(*button, {50, 30});
    EXPECT_EQ(receiver->calls, 1);
    EXPECT_TRUE(button->sendAction());  // sent in code whatever the state
    EXPECT_EQ(receiver->calls, 2);

    button->setEnabled(true);
    std::weak_ptr<Receiver> weak = receiver;
    receiver.reset();
    EXPECT_TRUE(weak.expired());  // the target is held weakly
    EXPECT_FALSE(button->target());
    EXPECT_FALSE(button->sendAction());  // nobody on the responder chain answers it

    // A block in place of a message, or a method of an object held weakly.
    int blocks = 0;
    button->setAction([&](NSControl&) { ++blocks; });
    click(*button, {50, 30});
    EXPECT_EQ(blocks, 1);
    EXPECT_FALSE(button->action());
    struct Owner {
        int clicks = 0;
        void clicked(NSControl&) { ++clicks; }
    };
    auto owner = std::make_shared<Owner>();
    button->setTarget(owner, &Owner::clicked);
    click(*button, {50, 30});
    EXPECT_EQ(owner->clicks, 1);
    owner.reset();
    click(*button, {50, 30});  // gone: nothing happens
}

TEST_F(Controls, LabelsPassPressesOnAndFitTheirText) {
    struct Catcher : NSView {
        using NSView::NSView;
        void mouseDown(const NSEvent&) override { ++downs; }
        int downs = 0;
    };
    auto parent = std::make_shared<Catcher>(CGRect{0, 0, 200, 100});
    auto label = NSTextField::labelWithString("Level: 64%");
    parent->addSubview(label);
    EXPECT_FALSE(label->isEditable());
    EXPECT_FALSE(label->drawsBackground());
    EXPECT_TRUE(label->mouseDownCanMoveWindow());
    EXPECT_GT(label->frame().width(), 40);
    EXPECT_GT(label->frame().height(), 10);
    label->mouseDown(mouse(NSEvent::EventType::leftMouseDown, {5, 5}));
    EXPECT_EQ(parent->downs, 1);

    auto field = NSTextField::make({0, 0, 100, 22});
    parent->addSubview(field);
    EXPECT_TRUE(field->isEditable());
    EXPECT_TRUE(field->isBezeled());
    EXPECT_FALSE(field->mouseDownCanMoveWindow());
    field->mouseDown(mouse(NSEvent::EventType::leftMouseDown, {5, 5}));
    EXPECT_EQ(parent->downs, 1);
}
