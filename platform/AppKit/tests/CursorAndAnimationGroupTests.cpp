#include <gtest/gtest.h>

#include "AppKit/NSAnimationContext.hpp"
#include "AppKit/NSCursor.hpp"
#include "WindowingTestSupport.hpp"

namespace {

// Marks a rectangle of its bounds with a cursor.
class CursorView : public NSView {
public:
    CursorView(CGRect frame, CGRect area, std::shared_ptr<NSCursor> cursor)
        : NSView(frame), area_(area), cursor_(std::move(cursor)) {}
    int resets = 0;
    void resetCursorRects() override {
        ++resets;
        addCursorRect(area_, cursor_);
    }

private:
    CGRect area_;
    std::shared_ptr<NSCursor> cursor_;
};

using CursorRects = WindowingTest;

TEST_F(CursorRects, TheDeepestViewUnderThePointerChoosesAndMovesSetTheCursor) {
    auto window = NSWindow::make({0, 0, 200, 100}, NSWindow::StyleMask::borderless());
    auto outer = std::make_shared<CursorView>(CGRect{0, 0, 200, 100}, CGRect{0, 0, 200, 100}, NSCursor::pointingHandCursor());
    auto inner = std::make_shared<CursorView>(CGRect{10, 10, 50, 50}, CGRect{0, 0, 25, 50}, NSCursor::arrowCursor());
    window->setContentView(outer);
    outer->addSubview(inner);

    EXPECT_EQ(window->cursorAt({100, 50}), NSCursor::pointingHandCursor());
    EXPECT_EQ(window->cursorAt({20, 20}), NSCursor::arrowCursor());             // the inner view's rectangle
    EXPECT_EQ(window->cursorAt({50, 20}), NSCursor::pointingHandCursor());      // inner view, outside its rectangle
    EXPECT_EQ(inner->cursorRects().size(), 1u);  // rebuilt, not piled up

    HeadlessWindowBackend::moveMouse(*window, {100, 50});
    EXPECT_EQ(NSCursor::current(), NSCursor::pointingHandCursor());
    window->sendEvent(HeadlessWindowBackend::mouseEvent(*window, NSEvent::EventType::mouseExited, {300, 50}));
    EXPECT_EQ(NSCursor::current(), NSCursor::arrowCursor());
    inner->setHidden(true);
    EXPECT_EQ(window->cursorAt({20, 20}), NSCursor::pointingHandCursor());
}

TEST(NSAnimationContext, GroupsNestAndRunTheirCompletionAfterTheChanges) {
    std::vector<std::string> steps;
    EXPECT_EQ(NSAnimationContext::current().duration(), 0);
    NSAnimationContext::runAnimationGroup(
        [&](NSAnimationContext& outer) {
            outer.setDuration(0.2);
            NSAnimationContext::runAnimationGroup([&](NSAnimationContext& inner) {
                steps.push_back("inner " + std::to_string(NSAnimationContext::depth()));
                EXPECT_EQ(inner.duration(), 0.25);
            });
            steps.push_back("outer");
            EXPECT_EQ(NSAnimationContext::current().duration(), 0.2);
        },
        [&] { steps.push_back("done " + std::to_string(NSAnimationContext::depth())); });
    EXPECT_EQ(steps, (std::vector<std::string>{"inner 2", "outer", "done 0"}));
}

TEST(LayerBacking, TheLayerCoversTheFrameWhateverItsAnchor) {
    auto view = NSView::make({10, 20, 100, 40});
    view->setWantsLayer(true);
    view->layer()->setAnchorPoint({0.5, 0.5});
    view->setFrame({30, 40, 60, 20});
    EXPECT_EQ(view->layer()->position(), (CGPoint{60, 50}));
    EXPECT_EQ(view->layer()->frame(), (CGRect{30, 40, 60, 20}));
}

}  // namespace
