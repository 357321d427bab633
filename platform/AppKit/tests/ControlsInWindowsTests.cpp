#include <gtest/gtest.h>

#include "AppKit/NSSegmentedControl.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSToolbar.hpp"
#include "AppKit/NSWindowController.hpp"
#include "WindowingTestSupport.hpp"

using ControlsInWindows = WindowingTest;

TEST_F(ControlsInWindows, AToolbarSegmentedControlReachesTheWindowControllerOnlyOnChange) {
    // The control has no target: its message goes along the responder chain of the key window.
    class Controller : public NSWindowController {
    public:
        using NSWindowController::NSWindowController;
        std::vector<int> changes;
        void keepInFrontChanged(const Selector::Sender& sender) {
            changes.push_back(std::static_pointer_cast<NSSegmentedControl>(std::static_pointer_cast<NSControl>(sender))
                                  ->selectedSegment());
        }
    };
    auto window = NSWindow::make({0, 0, 300, 100}, standardStyle);
    auto controller = std::make_shared<Controller>(window);
    controller->showWindow();
    auto control = NSSegmentedControl::make({"Front", "Normal"}, nullptr);
    control->setAction(Selector::make("keepInFrontChanged:", &Controller::keepInFrontChanged));
    control->setSelectedSegment(1);
    auto item = NSToolbarItem::make("keepInFront");
    item->setView(control);
    auto toolbar = NSToolbar::make("main");
    toolbar->addItem(item);
    window->setToolbar(toolbar);

    CGRect frame = window->frame();
    auto centreOf = [&](int segment) {
        CGRect r = control->rectForSegment(segment);
        return control->convertToView(CGPoint{r.midX(), r.midY()}, nullptr);
    };
    HeadlessWindowBackend::click(*window, centreOf(1));  // already selected
    EXPECT_TRUE(controller->changes.empty());
    HeadlessWindowBackend::click(*window, centreOf(0));
    HeadlessWindowBackend::click(*window, centreOf(0));
    HeadlessWindowBackend::click(*window, centreOf(1));
    EXPECT_EQ(controller->changes, (std::vector<int>{0, 1}));
    EXPECT_EQ(window->frame(), frame);  // pressing a control does not drag the window
}

TEST_F(ControlsInWindows, LabelsLetTheWindowBeDraggedByItsBackground) {
    auto window = NSWindow::make({0, 0, 300, 100}, standardStyle);
    window->setMovableByWindowBackground(true);
    auto label = NSTextField::labelWithString("No devices");
    label->setFrameOrigin({20, 40});
    window->contentView()->addSubview(label);
    auto field = NSTextField::make({150, 40, 100, 22});
    window->contentView()->addSubview(field);
    EXPECT_TRUE(window->isDraggableAt(label->convertToView(CGPoint{5, 5}, nullptr)));
    EXPECT_FALSE(window->isDraggableAt(field->convertToView(CGPoint{5, 5}, nullptr)));
}
