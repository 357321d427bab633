#include <gtest/gtest.h>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "Foundation/Bundle.hpp"
#include "AppKit/NSMenu.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSScrollView.hpp"
#include "AppKit/NSTableView.hpp"
#include "AppKit/NSToolbar.hpp"
#include "AppKit/NSWindowController.hpp"
#include "AppKit/backends/GtkSettings.hpp"
#include "BufferSwitch.hpp"
#include "Testing/TemporaryDesktop.hpp"
#include "WaylandScreen.hpp"
#include "WaylandSurfaceOutputs.hpp"
#include "WindowingTestSupport.hpp"

using Windowing = WindowingTest;

namespace {
std::shared_ptr<NSToolbar> toolbarWithOneItem() {
    auto toolbar = NSToolbar::make("main");
    auto item = NSToolbarItem::make("about");
    item->setLabel("About");
    toolbar->addItem(item);
    return toolbar;
}

class CloseWatcher : public NSWindowDelegate {
public:
    int willClose = 0;
    std::shared_ptr<void> object;
    void windowWillClose(const Notification& n) override {
        ++willClose;
        object = n.object;
    }
};

class Delegate : public NSResponder, public NSApplicationDelegate {
public:
    bool terminateAfterLastWindow = true;
    int asked = 0;
    int launched = 0;
    std::size_t windowsAtLaunch = 0;
    std::vector<std::string> actions;
    void applicationDidFinishLaunching(const Notification&) override {
        ++launched;
        windowsAtLaunch = NSApplication::shared().windows().size();
        if (auto first = NSApplication::shared().windows(); !first.empty()) first.front()->setMovableByWindowBackground(true);
    }
    bool applicationShouldTerminateAfterLastWindowClosed(NSApplication&) override {
        ++asked;
        return terminateAfterLastWindow;
    }
    void helpClicked(const Selector::Sender&) { actions.push_back("help"); }
};
}  // namespace

TEST_F(Windowing, TitleBarAndToolbarBandSitAboveTheContent) {
    auto window = NSWindow::make({100, 300, 320, 200}, standardStyle);
    EXPECT_EQ(window->frame(), (CGRect{100, 300, 320, 228}));
    EXPECT_EQ(window->titleBarAndToolbarHeight(), NSWindow::titleBarHeight);

    // A toolbar adds its band and keeps the content's size and the window's top edge.
    window->setToolbar(toolbarWithOneItem());
    CGFloat band = NSWindow::titleBarHeight + NSWindow::toolbarHeight;
    EXPECT_EQ(window->frame(), (CGRect{100, 300 - NSWindow::toolbarHeight, 320, 200 + band}));
    EXPECT_EQ(window->frame().height() - window->contentRect(window->frame()).height(), band);
    EXPECT_EQ(window->contentView()->frame(), (CGRect{0, 0, 320, 200}));
    EXPECT_EQ(window->frameRect(CGRect{0, 0, 320, 96}).height(), 96 + band);

    // A caller that keeps the top edge itself (three rows of 96 and a margin of 16).
    CGRect old = window->frame();
    CGFloat height = band + 3 * 96 + 16;
    window->setFrame({old.minX(), old.minY() + old.height() - height, old.width(), height}, true, true);
    EXPECT_EQ(window->frame().maxY(), old.maxY());
    EXPECT_EQ(window->contentView()->frame().size, (CGSize{320, 3 * 96 + 16}));

    // setContentSize keeps the top edge too; a hidden toolbar takes no room.
    window->setContentSize({300, 100});
    EXPECT_EQ(window->frame().maxY(), old.maxY());
    EXPECT_EQ(window->frame().height(), 100 + band);
    window->toolbar()->setVisible(false);
    EXPECT_EQ(window->frame().height(), 100 + NSWindow::titleBarHeight);
    EXPECT_EQ(window->frame().maxY(), old.maxY());

    // Content reaching under the bars has the whole frame.
    window->setStyleMask(window->styleMask().inserting(NSWindow::StyleMask::fullSizeContentView()));
    EXPECT_EQ(window->titleBarAndToolbarHeight(), 0);
    EXPECT_EQ(window->contentView()->frame().size, window->frame().size);
    window->setStyleMask(window->styleMask().removing(NSWindow::StyleMask::resizable()));
    EXPECT_FALSE(window->styleMask().contains(NSWindow::StyleMask::resizable()));
}

TEST_F(Windowing, CentringUsesTheMainScreen) {
    auto window = NSWindow::make({10, 10, 200, 100}, standardStyle);
    window->center();  // no screen: stays
    EXPECT_EQ(window->frame().origin, (CGPoint{10, 10}));
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1000, 800}, 1, CGRect{0, 0, 1000, 780}));
    window->center();
    EXPECT_EQ(window->frame(), (CGRect{400, 326, 200, 128}));
}

TEST_F(Windowing, AWindowThatGrowsStaysOnItsScreen) {
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1000, 800}, 1, CGRect{0, 40, 1000, 740}));
    auto window = NSWindow::make({100, 500, 300, 200}, standardStyle);  // top edge at 728
    window->setFrame({100, 28, 300, 700});
    EXPECT_EQ(window->frame(), (CGRect{100, 40, 300, 700})) << "up from below the visible area";
    window->setFrame({100, -1272, 300, 2000});
    EXPECT_EQ(window->frame(), (CGRect{100, 40, 300, 740})) << "no taller than the visible area, its top at the area's";
    window->setFrame({100, 600, 300, 300});
    EXPECT_EQ(window->frame(), (CGRect{100, 480, 300, 300})) << "down from above it";
    window->setFrameOrigin({100, -100});
    EXPECT_EQ(window->frame().origin, (CGPoint{100, -100})) << "a move alone goes where it is put";
    auto borderless = NSWindow::make({0, 0, 100, 100}, NSWindow::StyleMask::borderless());
    borderless->setFrame({0, 0, 100, 2000});
    EXPECT_EQ(borderless->frame().height(), 2000);
}

TEST_F(Windowing, OnWaylandAWindowFitsItsOutputAgainWhenTheScaleOrTheBoundsChange) {
    // One output of 1000 by 900 pixels, and a window as tall as it at a scale of 1.
    std::map<std::uint32_t, WaylandConnection::Output> outputs{{1, {nullptr, 1, 1000, 900}}};
    auto window = NSWindow::make({0, 0, 300, 200}, standardStyle);
    auto fit = [&](std::optional<CGSize> bounds) { return WaylandScreen::setMain(WaylandScreen::make(outputs, {}, {}, bounds), {window}); };
    fit(std::nullopt);
    window->setFrame({0, 0, 300, 900});
    outputs[1].scale = 2;
    EXPECT_TRUE(fit(std::nullopt));
    EXPECT_EQ(window->frame(), (CGRect{0, 0, 300, 450})) << "the output is 450 points tall at twice the scale";
    EXPECT_EQ(window->backingScaleFactor(), 2);
    EXPECT_FALSE(fit(std::nullopt)) << "nothing changed";
    // The compositor's panel takes 32 of them.
    EXPECT_TRUE(fit(CGSize{500, 418}));
    EXPECT_EQ(window->frame(), (CGRect{0, 32, 300, 418}));
    // Back at a scale of 1, the window is as tall as it was made.
    outputs[1].scale = 1;
    EXPECT_TRUE(fit(std::nullopt));
    EXPECT_EQ(window->frame(), (CGRect{0, 0, 300, 900}));
}

TEST_F(Windowing, OnWaylandAWindowTakesTheSizeOfTheSmallestOutputItIsOnAndBeforeThatOfTheSmallestOfAll) {
    // A screen of 1000 by 900 pixels announced first, and a laptop's of 600 by 500.
    int large = 0, small = 0;
    auto* largeOutput = reinterpret_cast<wl_output*>(&large);
    auto* smallOutput = reinterpret_cast<wl_output*>(&small);
    std::map<std::uint32_t, WaylandConnection::Output> outputs{{1, {largeOutput, 1, 1000, 900}}, {2, {smallOutput, 1, 600, 500}}};
    auto window = NSWindow::make({0, 0, 300, 200}, standardStyle);
    WaylandSurfaceOutputs place;
    auto fit = [&] {
        WaylandScreen::setMain(WaylandScreen::make(outputs, place.current(), place.sizing(), std::nullopt), {window});
        return window->frame().height();
    };
    fit();
    window->setFrame({0, 0, 300, 900});
    EXPECT_EQ(window->frame().height(), 500) << "before it is on an output, no taller than the smallest";
    // Bounds the compositor gives before the window is on an output are those of the one it opens on.
    WaylandScreen::setMain(WaylandScreen::make(outputs, {}, {}, CGSize{1000, 868}), {window});
    EXPECT_EQ(window->frame().height(), 868) << "within the bounds given before it is on an output";
    place.entered(largeOutput);
    EXPECT_EQ(fit(), 900) << "on the larger one, as tall as it was made";
    place.entered(smallOutput);
    EXPECT_EQ(fit(), 500) << "across the edge, no taller than the smaller";
    place.left(largeOutput);
    EXPECT_EQ(fit(), 500) << "wholly on the smaller one, after the larger was left";
    place.entered(largeOutput);
    place.left(smallOutput);
    EXPECT_EQ(fit(), 900) << "wholly back on the larger one";
    place.left(largeOutput);
    EXPECT_EQ(fit(), 900) << "on none, the size of the one it left last";

    // A compositor that sends no leave: on both as far as the window knows, it fits either.
    place.entered(largeOutput);
    place.entered(smallOutput);
    EXPECT_EQ(fit(), 500);

    // Grown into an output below, the window shrinks; the output its smaller size leaves does not
    // give it its height back, which would take it there again.
    WaylandSurfaceOutputs grown;
    grown.entered(largeOutput);
    grown.entered(smallOutput);
    grown.setShrinking(true);
    grown.left(smallOutput);
    grown.setShrinking(false);
    EXPECT_EQ(grown.sizing(), (std::set<wl_output*>{largeOutput, smallOutput}));
    grown.left(largeOutput);
    grown.entered(smallOutput);
    EXPECT_EQ(grown.sizing(), std::set<wl_output*>{smallOutput}) << "until it is moved";

    place.left(smallOutput);
    fit();
    WaylandScreen::setMain(WaylandScreen::make(outputs, {largeOutput, smallOutput}, {largeOutput, smallOutput}, std::nullopt), {window});
    EXPECT_EQ(window->frame().height(), 500) << "two windows, one on each: the smaller";
}

TEST(BufferSwitch, ABufferTheWindowSystemHoldsIsNeverDrawnIntoAndASwitchCopiesOnlyWhatTheNextMissed) {
    struct Buffer {
        std::vector<std::uint32_t> words = std::vector<std::uint32_t>(8);  // 4 by 2 pixels
        bool busy_ = false;
        void* pixels() { return words.data(); }
        std::size_t bytesPerRow() const { return 16; }
        bool busy() const { return busy_; }
    };
    std::vector<Buffer*> made;
    BufferSwitch<Buffer> buffers([&](std::size_t, std::size_t) {
        made.push_back(new Buffer());
        return std::unique_ptr<Buffer>(made.back());
    });
    auto drawn = [&](PixelMemory memory, PixelRect r, std::uint32_t colour) {
        for (int y = r.y; y < r.y + r.height; ++y) {
            std::fill_n(static_cast<std::uint32_t*>(memory.pixels) + y * 4 + r.x, r.width, colour);
        }
        buffers.drew({r});
        buffers.current()->busy_ = true;  // shown: the window system holds it
    };
    auto first = buffers.makeBackingStore(4, 2);
    ASSERT_TRUE(first);
    drawn(*first, {0, 0, 4, 2}, 1);
    auto second = buffers.nextBackingStore();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->pixels, made[1]->pixels()) << "a new buffer while the first is held";
    EXPECT_EQ(made[1]->words, std::vector<std::uint32_t>(8, 1)) << "with the whole picture";
    drawn(*second, {1, 0, 1, 1}, 2);
    made[0]->busy_ = false;
    made[0]->words[7] = 9;  // a pixel the first buffer has of the picture already
    auto third = buffers.nextBackingStore();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->pixels, made[0]->pixels()) << "back to the released one";
    EXPECT_EQ(made[0]->words, (std::vector<std::uint32_t>{1, 2, 1, 1, 1, 1, 1, 9})) << "given only what it missed";
    made[0]->busy_ = false;
    EXPECT_FALSE(buffers.nextBackingStore()) << "a released buffer is drawn into again";
}

TEST_F(Windowing, TheYellowButtonMiniaturizesAndTheGreenOneZooms) {
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1000, 800}, 1, CGRect{0, 40, 1000, 740}));
    auto window = NSWindow::make({100, 300, 300, 200}, standardStyle);
    window->makeKeyAndOrderFront();
    auto press = [&](NSWindow::ButtonType type) {
        auto button = window->standardWindowButton(type);
        HeadlessWindowBackend::click(*window, button->convertToView(CGPoint{6, 6}, nullptr));
    };
    press(NSWindow::ButtonType::zoomButton);
    EXPECT_EQ(window->frame(), (CGRect{0, 40, 1000, 740})) << "the screen's visible area";
    EXPECT_TRUE(window->isZoomed());
    press(NSWindow::ButtonType::zoomButton);
    EXPECT_EQ(window->frame(), (CGRect{100, 300, 300, 228})) << "back to the user's frame";

    press(NSWindow::ButtonType::miniaturizeButton);
    EXPECT_TRUE(window->isMiniaturized());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app().windows().size(), 1u);
    window->makeKeyAndOrderFront();
    EXPECT_FALSE(window->isMiniaturized());
    EXPECT_TRUE(window->isVisible());

    // A window the user may not resize has no zoom button, and zooms on no click.
    window->setStyleMask(window->styleMask().removing(NSWindow::StyleMask::resizable()));
    EXPECT_TRUE(window->standardWindowButton(NSWindow::ButtonType::zoomButton)->isHidden());
    window->performZoom();
    EXPECT_FALSE(window->isZoomed());
}

TEST_F(Windowing, KeysGoToTheFirstViewThatTakesThemAndScrollTheList) {
    // Six rows of 96 points seen through 200.
    class Rows : public NSTableViewDataSource {
    public:
        int numberOfRows(NSTableView&) override { return 6; }
    };
    auto rows = std::make_shared<Rows>();
    auto window = NSWindow::make({0, 0, 240, 200}, standardStyle);
    auto scroll = NSScrollView::make({0, 0, 240, 200});
    auto table = NSTableView::make();
    table->setRowHeight(96);
    table->setIntercellSpacing({0, 0});
    table->setDataSource(rows);
    scroll->setDocumentView(table);
    window->contentView()->addSubview(std::make_shared<RecordingView>(CGRect{0, 0, 10, 10}));
    window->contentView()->addSubview(scroll);
    table->reloadData();
    auto top = [&] { return scroll->documentVisibleRect().minY(); };
    auto press = [&](std::uint16_t key) {
        NSEvent event;
        event.type = NSEvent::EventType::keyDown;
        event.keyCode = key;
        window->sendEvent(event);
        return top();
    };
    EXPECT_EQ(press(NSEvent::KeyCode::pageDown), 190) << "a page less ten points";
    EXPECT_EQ(press(NSEvent::KeyCode::downArrow), 480 - 200) << "the row cut off below comes in whole";
    EXPECT_EQ(press(NSEvent::KeyCode::upArrow), 192) << "and the one cut off above";
    EXPECT_EQ(press(NSEvent::KeyCode::end), 576 - 200);
    EXPECT_EQ(press(NSEvent::KeyCode::pageUp), 186);
    EXPECT_EQ(press(NSEvent::KeyCode::home), 0);
    EXPECT_EQ(press(NSEvent::KeyCode::upArrow), 0);
}

TEST_F(Windowing, ControllersLoadOnceAndSeeTheWindowBeforeItAppears) {
    auto viewController = std::make_shared<RecordingViewController>();
    auto window = NSWindow::make(viewController);
    EXPECT_EQ(window->contentRect(window->frame()).size, (CGSize{240, 120}));
    EXPECT_EQ(window->contentView(), viewController->view());

    class Controller : public NSWindowController {
    public:
        using NSWindowController::NSWindowController;
        int loads = 0;
        void windowDidLoad() override { ++loads; }
    };
    auto controller = std::make_shared<Controller>(window);
    EXPECT_EQ(controller->window(), window);
    EXPECT_EQ(controller->window(), window);
    EXPECT_EQ(controller->loads, 1);
    EXPECT_EQ(window->windowController(), controller);
    EXPECT_EQ(controller->contentViewController(), viewController);

    controller->showWindow();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_TRUE(viewController->hadWindowWhenAppearing);
    window->makeKeyAndOrderFront();  // already on screen: nothing appears twice
    window->orderOut();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isKeyWindow());
    EXPECT_EQ(viewController->log,
              (std::vector<std::string>{"didLoad", "willAppear", "didAppear", "willDisappear", "didDisappear"}));
}

TEST_F(Windowing, ClosingTheLastWindowTerminatesWhenTheDelegateSaysSo) {
    auto delegate = std::make_shared<Delegate>();
    app().setDelegate(delegate);
    auto watcher = std::make_shared<CloseWatcher>();
    auto viewController = std::make_shared<RecordingViewController>();
    auto main = NSWindow::make(viewController);
    main->setDelegate(watcher);
    auto other = NSWindow::make({0, 0, 100, 100}, standardStyle);
    main->makeKeyAndOrderFront();
    other->makeKeyAndOrderFront();
    EXPECT_EQ(app().windows(), (std::vector<std::shared_ptr<NSWindow>>{main, other}));
    EXPECT_EQ(app().keyWindow(), other);

    other->close();
    runUntilIdle();
    EXPECT_EQ(delegate->asked, 0);  // a window is still open
    EXPECT_FALSE(app().isTerminated());
    EXPECT_EQ(app().keyWindow(), main);

    // The close button goes the same way as close().
    auto closeButton = main->standardWindowButton(NSWindow::ButtonType::closeButton);
    ASSERT_TRUE(closeButton);
    CGPoint centre = closeButton->convertToView(CGPoint{6, 6}, nullptr);
    HeadlessWindowBackend::click(*main, centre);
    EXPECT_EQ(watcher->willClose, 1);
    EXPECT_EQ(watcher->object, main);
    EXPECT_EQ(viewController->log.back(), "didDisappear");
    EXPECT_TRUE(app().windows().empty());
    EXPECT_FALSE(app().isTerminated());  // after the close has returned
    runUntilIdle();
    EXPECT_EQ(delegate->asked, 1);
    EXPECT_TRUE(app().isTerminated());
    main->close();
    EXPECT_EQ(watcher->willClose, 1);
}

TEST_F(Windowing, ClosingTheLastWindowKeepsRunningWithoutTheDelegatesConsent) {
    auto delegate = std::make_shared<Delegate>();
    delegate->terminateAfterLastWindow = false;
    app().setDelegate(delegate);
    auto window = NSWindow::make({0, 0, 100, 100}, NSWindow::StyleMask::titled());
    window->makeKeyAndOrderFront();
    window->performClose();  // not closable: stays
    EXPECT_TRUE(window->isVisible());
    window->close();
    runUntilIdle();
    EXPECT_EQ(delegate->asked, 1);
    EXPECT_FALSE(app().isTerminated());
    app().setDelegate(nullptr);
    EXPECT_FALSE(app().shouldTerminateAfterLastWindowClosed());
}

TEST_F(Windowing, MouseEventsGoToTheViewUnderThePointerAndStayWithIt) {
    auto window = NSWindow::make({0, 0, 200, 100}, standardStyle);
    auto view = std::make_shared<RecordingView>(CGRect{20, 20, 50, 40});
    auto hidden = std::make_shared<RecordingView>(CGRect{100, 20, 50, 40});
    hidden->setHidden(true);
    window->contentView()->addSubview(view);
    window->contentView()->addSubview(hidden);
    window->makeKeyAndOrderFront();

    using T = NSEvent::EventType;
    window->sendEvent(HeadlessWindowBackend::mouseEvent(*window, T::leftMouseDown, {30, 30}));
    window->sendEvent(HeadlessWindowBackend::mouseEvent(*window, T::leftMouseDragged, {150, 90}));  // outside, still it
    window->sendEvent(HeadlessWindowBackend::mouseEvent(*window, T::leftMouseUp, {160, 90}));
    HeadlessWindowBackend::click(*window, {110, 30});  // the hidden view gets nothing
    EXPECT_EQ(view->log, (std::vector<std::string>{"down 10,10", "dragged 130,70", "up 140,70"}));
    EXPECT_TRUE(hidden->log.empty());
    EXPECT_EQ(window->frame().origin, (CGPoint{0, 0}));  // not movable by its background
    EXPECT_EQ(window->viewAt({110, 30}), window->contentView());
}

TEST_F(Windowing, TrackingAreasTellEnteringMovingAndLeaving) {
    auto window = NSWindow::make({0, 0, 200, 100}, standardStyle);
    auto always = std::make_shared<RecordingView>(CGRect{0, 0, 100, 100});
    auto keyOnly = std::make_shared<RecordingView>(CGRect{100, 0, 100, 100});
    window->contentView()->addSubview(always);
    window->contentView()->addSubview(keyOnly);
    using O = NSTrackingArea::Options;
    always->addTrackingArea(std::make_shared<NSTrackingArea>(
        CGRect{}, O::mouseEnteredAndExited() | O::mouseMoved() | O::activeAlways() | O::inVisibleRect(), always, 7));
    keyOnly->addTrackingArea(
        std::make_shared<NSTrackingArea>(CGRect{0, 0, 50, 50}, O::mouseEnteredAndExited() | O::activeInKeyWindow(), keyOnly));
    window->orderFront();  // on screen, not key

    HeadlessWindowBackend::moveMouse(*window, {10, 10});
    HeadlessWindowBackend::moveMouse(*window, {20, 10});
    HeadlessWindowBackend::moveMouse(*window, {120, 10});  // into the key-only area of a window that is not key
    EXPECT_EQ(always->log, (std::vector<std::string>{"entered 10,10", "moved 10,10", "moved 20,10", "exited 120,10"}));
    EXPECT_TRUE(keyOnly->log.empty());

    window->makeKeyWindow();
    HeadlessWindowBackend::moveMouse(*window, {121, 10});
    HeadlessWindowBackend::moveMouse(*window, {180, 10});  // in the view, outside its area
    window->sendEvent(HeadlessWindowBackend::mouseEvent(*window, NSEvent::EventType::mouseExited, {-1, -1}));
    EXPECT_EQ(keyOnly->log, (std::vector<std::string>{"entered 21,10", "exited 80,10"}));
}

TEST_F(Windowing, DraggingMovesAWindowByItsTitleBarOrItsBackground) {
    auto window = NSWindow::make({100, 100, 200, 100}, standardStyle);
    auto control = std::make_shared<RecordingView>(CGRect{10, 10, 40, 20});
    control->canMoveWindow = false;
    window->contentView()->addSubview(control);
    window->makeKeyAndOrderFront();

    // The title bar always moves it, in steps that follow the pointer.
    HeadlessWindowBackend::drag(*window, {100, 114}, {30, -20});
    EXPECT_EQ(window->frame().origin, (CGPoint{130, 80}));
    // The background only once the window is movable by it.
    HeadlessWindowBackend::drag(*window, {150, 50}, {10, 10});
    EXPECT_EQ(window->frame().origin, (CGPoint{130, 80}));
    window->setMovableByWindowBackground(true);
    EXPECT_TRUE(window->isDraggableAt({150, 50}));
    HeadlessWindowBackend::drag(*window, {150, 50}, {-50, 40}, 5);
    EXPECT_EQ(window->frame().origin, (CGPoint{80, 120}));
    // A click, or a press that goes no farther than the drag threshold, moves nothing.
    HeadlessWindowBackend::click(*window, {150, 50});
    HeadlessWindowBackend::drag(*window, {150, 50}, {8, -8}, 2);
    EXPECT_EQ(window->frame().origin, (CGPoint{80, 120}));
    // A view that says no gets the press and the drag itself.
    EXPECT_FALSE(window->isDraggableAt({20, 20}));
    HeadlessWindowBackend::drag(*window, {20, 20}, {10, 0}, 1);
    EXPECT_EQ(window->frame().origin, (CGPoint{80, 120}));
    EXPECT_EQ(control->log, (std::vector<std::string>{"down 10,10", "dragged 20,10", "up 20,10"}));
    // The window's buttons are never handles.
    EXPECT_FALSE(window->isDraggableAt({15, 114}));
}

TEST_F(Windowing, PastTheDragThresholdAWindowSystemThatMovesWindowsTakesTheMoveOnce) {
    class MovingBackend : public HeadlessWindowBackend {
    public:
        std::vector<CGPoint> moves;
        CGFloat dragThreshold() const override { return 3; }
        bool moveWithPointer(NSWindow&, CGPoint from) override {
            moves.push_back(from);
            return true;
        }
    };
    auto backend = std::make_shared<MovingBackend>();
    app().setWindowBackend(backend);
    auto window = NSWindow::make({100, 100, 200, 100}, standardStyle);
    window->setMovableByWindowBackground(true);
    window->makeKeyAndOrderFront();
    HeadlessWindowBackend::drag(*window, {150, 50}, {3, 3}, 1);
    EXPECT_TRUE(backend->moves.empty());
    HeadlessWindowBackend::drag(*window, {150, 50}, {10, 0}, 5);
    EXPECT_EQ(backend->moves, (std::vector<CGPoint>{{150, 50}}));
    EXPECT_EQ(window->frame().origin, (CGPoint{100, 100})) << "the window system moves it";

    // The threshold is the desktop's where GTK's settings give one.
    TemporaryDesktop desktop;
    EXPECT_EQ(GtkSettings::dragThreshold(), std::nullopt);
    desktop.write("home/.config/gtk-3.0/settings.ini", "[Settings]\ngtk-dnd-drag-threshold=12\n");
    EXPECT_EQ(GtkSettings::dragThreshold(), 12);
}

TEST_F(Windowing, TheLoopLaysOutAndDrawsWindowsThatAskForIt) {
    auto window = NSWindow::make({0, 0, 200, 100}, standardStyle);
    auto view = std::make_shared<RecordingView>(CGRect{0, 0, 50, 50});
    window->contentView()->addSubview(view);
    runUntilIdle();
    EXPECT_EQ(backend_->displayCount(*window), 0);  // not on screen
    window->makeKeyAndOrderFront();
    runUntilIdle();
    EXPECT_EQ(backend_->displayCount(*window), 1);
    EXPECT_EQ(view->draws, 1);
    runUntilIdle();
    EXPECT_EQ(backend_->displayCount(*window), 1);  // nothing asked

    view->setNeedsDisplay();
    runUntilIdle();
    EXPECT_EQ(view->draws, 2);
    // A constraint change lays the tree out before drawing.
    auto pinned = std::make_shared<RecordingView>();
    pinned->setTranslatesAutoresizingMaskIntoConstraints(false);
    window->contentView()->addSubview(pinned);
    for (auto& c : {pinned->widthAnchor().constraint(30.0), pinned->heightAnchor().constraint(20.0),
                    pinned->topAnchor().constraint(window->contentView()->topAnchor()),
                    pinned->trailingAnchor().constraint(window->contentView()->trailingAnchor())}) {
        c->setActive(true);
    }
    runUntilIdle();
    EXPECT_EQ(pinned->frame(), (CGRect{170, 80, 30, 20}));
    EXPECT_EQ(backend_->displayCount(*window), 3);
    auto shown = backend_->displayedImage(*window);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->width(), 200u);
    EXPECT_EQ(shown->height(), 128u);
}

TEST_F(Windowing, AWindowDrawsOnlyWhatChangedWhereItWasAndWhereItIs) {
    auto window = NSWindow::make({0, 0, 200, 100}, standardStyle);
    auto plain = std::make_shared<RecordingView>(CGRect{0, 0, 50, 50});
    auto layered = std::make_shared<RecordingView>(CGRect{100, 0, 50, 50});
    layered->setWantsLayer(true);
    window->contentView()->addSubview(plain);
    window->contentView()->addSubview(layered);
    window->makeKeyAndOrderFront();
    runUntilIdle();
    int displays = backend_->displayCount(*window);
    runUntilIdle();
    EXPECT_EQ(backend_->displayCount(*window), displays);  // nothing changed, nothing drawn or shown

    plain->setNeedsDisplay();
    runUntilIdle();
    EXPECT_EQ(plain->draws, 2);
    EXPECT_EQ(layered->draws, 1);
    EXPECT_EQ(backend_->lastDrawnRects(*window), (std::vector<CGRect>{{0, 0, 50, 50}}));

    // A layer that changes, and a view that moves: drawn where it was and where it is now.
    layered->layer()->setBackgroundColor(CGColor{1, 0, 0, 1});
    runUntilIdle();
    EXPECT_EQ(plain->draws, 2);
    EXPECT_EQ(backend_->lastDrawnRects(*window), (std::vector<CGRect>{{100, 0, 50, 50}}));
    layered->setFrameOrigin({120, 20});
    plain->removeFromSuperview();
    runUntilIdle();
    EXPECT_EQ(backend_->lastDrawnRects(*window), (std::vector<CGRect>{{0, 0, 50, 50}, {100, 0, 70, 70}}));
    // What the window kept is what a whole drawing shows.
    auto kept = backend_->displayedImage(*window), whole = window->image(1.0);
    ASSERT_TRUE(kept && whole);
    int differing = 0;
    for (std::size_t y = 0; y < whole->height(); ++y) {
        for (std::size_t x = 0; x < whole->width(); ++x) differing += kept->pixel(x, y) != whole->pixel(x, y) ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(pixelAt(*kept, 130, 30), (Bytes{255, 0, 0, 255}));
}

TEST_F(Windowing, ThePlatformDrawsTheTitleBarAndToolbarBand) {
    auto window = NSWindow::make({0, 0, 200, 100}, standardStyle);
    window->setTitle("Quillon");
    window->setToolbar(toolbarWithOneItem());
    window->contentView()->setWantsLayer(true);
    window->contentView()->layer()->setBackgroundColor(CGColor{0, 0, 1, 1});
    auto image = window->image(1.0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->height(), std::size_t(100 + NSWindow::titleBarHeight + NSWindow::toolbarHeight));
    EXPECT_EQ(pixelAt(*image, 15, 100 + NSWindow::toolbarHeight + 18), (Bytes{255, 95, 87, 255}));  // the close button
    EXPECT_EQ(pixelAt(*image, 190, 100 + 2), (Bytes{236, 236, 236, 255}));                          // the band
    EXPECT_EQ(pixelAt(*image, 100, 50), (Bytes{0, 0, 255, 255}));                                   // the content

    TemporaryDirectory folder;
    EXPECT_TRUE(HeadlessWindowBackend::writePNG(*window, folder.path() / "window.png"));
    EXPECT_TRUE(std::filesystem::file_size(folder.path() / "window.png") > 0);

    // A transparent, titleless title bar over full-size content shows the content.
    window->setToolbar(nullptr);
    window->setTitlebarAppearsTransparent(true);
    window->setTitleVisibility(NSWindow::TitleVisibility::hidden);
    window->setStyleMask(window->styleMask().inserting(NSWindow::StyleMask::fullSizeContentView()));
    window->standardWindowButton(NSWindow::ButtonType::zoomButton)->setHidden(true);
    image = window->image(1.0);
    EXPECT_EQ(pixelAt(*image, 100, 114), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(*image, 55, 114), (Bytes{0, 0, 255, 255}));  // where the zoom button was
}

TEST_F(Windowing, ToolbarItemsAndTheMenuSendTheirActions) {
    auto delegate = std::make_shared<Delegate>();
    app().setDelegate(delegate);
    class Controller : public NSWindowController {
    public:
        using NSWindowController::NSWindowController;
        int abouts = 0;
        void aboutClicked(const Selector::Sender&) { ++abouts; }
    };
    auto window = NSWindow::make({0, 0, 300, 100}, standardStyle);
    auto controller = std::make_shared<Controller>(window);
    controller->showWindow();

    auto toolbar = NSToolbar::make("main");
    auto custom = NSToolbarItem::make("keepInFront");
    auto segments = std::make_shared<RecordingView>(CGRect{0, 0, 90, 24});
    segments->canMoveWindow = false;
    custom->setView(segments);
    auto about = NSToolbarItem::make("about");
    about->setLabel("About");
    about->setBordered(true);
    about->setTarget(controller);
    about->setAction(Selector::make("aboutClicked:", &Controller::aboutClicked));
    toolbar->addItem(custom);
    toolbar->addItem(NSToolbarItem::make(NSToolbarItem::flexibleSpace));
    toolbar->addItem(about);
    window->setToolbar(toolbar);

    // The custom view sits at the left of the band, the button at its right end.
    EXPECT_EQ(segments->window(), window);
    EXPECT_EQ(segments->frame().minX(), 8);
    auto button = about->itemView();
    EXPECT_EQ(button->frame().maxX(), 292);
    CGPoint buttonCentre = button->convertToView(CGPoint{button->bounds().midX(), button->bounds().midY()}, nullptr);
    HeadlessWindowBackend::click(*window, buttonCentre);
    EXPECT_EQ(controller->abouts, 1);
    about->setEnabled(false);
    HeadlessWindowBackend::click(*window, buttonCentre);
    EXPECT_EQ(controller->abouts, 1);
    // A message goes only to a target that answers to it.
    EXPECT_FALSE(app().sendAction(Selector::make("aboutClicked:", &Controller::aboutClicked), delegate, nullptr));

    // The menu button opens the main menu; a command without a target finds the delegate.
    auto mainMenu = NSMenu::make();
    auto help = NSMenu::make("Help");
    help->addItem("Help", Selector::make("helpClicked:", &Delegate::helpClicked));
    auto appMenu = NSMenu::make("Quillon");
    auto aboutItem = appMenu->addItem("About", Selector::make("aboutClicked:", &Controller::aboutClicked));
    mainMenu->addItem(NSMenuItem::make("Quillon"));
    mainMenu->item("Quillon")->setSubmenu(appMenu);
    mainMenu->addItem(NSMenuItem::make("Help"));
    mainMenu->item("Help")->setSubmenu(help);
    app().setMainMenu(mainMenu);
    ASSERT_EQ(mainMenu->flattenedItems().size(), 3u);  // About, a separator, Help
    EXPECT_TRUE(mainMenu->flattenedItems()[1]->isSeparatorItem());

    HeadlessWindowBackend::click(*window, {285, window->frame().height() - 14});
    auto panel = window->openMenu();
    ASSERT_TRUE(panel);
    // Clicking a command (below About and the separator) closes the menu and sends the command.
    HeadlessWindowBackend::click(*window, {220, window->frame().height() - NSWindow::titleBarHeight - 5 - 22 - 9 - 11});
    EXPECT_FALSE(window->openMenu());
    EXPECT_EQ(delegate->actions, (std::vector<std::string>{"help"}));
    // The About command, without a target, reaches the key window's controller.
    EXPECT_TRUE(aboutItem->performAction());
    EXPECT_EQ(controller->abouts, 2);
    // A click beside the panel, or Escape, only closes it.
    window->showMenu();
    HeadlessWindowBackend::click(*window, {20, 20});
    EXPECT_FALSE(window->openMenu());
    window->showMenu();
    NSEvent escape;
    escape.type = NSEvent::EventType::keyDown;
    escape.keyCode = NSEvent::KeyCode::escape;
    window->sendEvent(escape);
    EXPECT_FALSE(window->openMenu());
    EXPECT_EQ(delegate->actions.size(), 1u);
}

TEST_F(Windowing, LevelsAndActivation) {
    auto window = NSWindow::make({0, 0, 100, 100}, standardStyle);
    EXPECT_EQ(window->level(), CGWindowLevelForKey(CGWindowLevelKey::normalWindow));
    window->setLevel(CGWindowLevelForKey(CGWindowLevelKey::floatingWindow));
    EXPECT_EQ(window->level(), NSWindow::floatingLevel);
    EXPECT_FALSE(app().isActive());
    app().activate(true);
    EXPECT_TRUE(app().isActive());
    auto borderless = NSWindow::make({0, 0, 100, 100}, NSWindow::StyleMask::borderless());
    borderless->makeKeyAndOrderFront();
    EXPECT_FALSE(borderless->isKeyWindow());
    EXPECT_FALSE(borderless->standardWindowButton(NSWindow::ButtonType::closeButton));
}

TEST_F(Windowing, TheMainStoryboardMakesTheDelegateAndTheWindow) {
    TemporaryDirectory folder;
    folder.write("Info.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>NSMainStoryboardFile</key><string>Main</string></dict></plist>)");
    Bundle::setMainPath(folder.path());
    std::shared_ptr<RecordingViewController> content;
    std::shared_ptr<Delegate> delegate;
    NSStoryboard::registerStoryboard(
        "Main", {"window",
                 {{"window",
                   [&] {
                       content = std::make_shared<RecordingViewController>();
                       auto window = NSWindow::make({50, 50, 240, 120}, standardStyle);
                       window->setContentViewController(content);
                       return std::make_shared<NSWindowController>(window);
                   }},
                  {NSApplication::applicationDelegateSceneIdentifier, [&] {
                       delegate = std::make_shared<Delegate>();
                       return delegate;
                   }}}});

    ASSERT_TRUE(app().finishLaunching());
    EXPECT_EQ(app().delegate(), delegate);
    EXPECT_EQ(delegate->launched, 1);
    EXPECT_EQ(delegate->windowsAtLaunch, 1u);
    auto window = app().windows().front();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_TRUE(window->isMovableByWindowBackground());
    EXPECT_EQ(window->contentViewController(), content);
    EXPECT_TRUE(content->hadWindowWhenAppearing);
    EXPECT_EQ(app().storyboardControllers().size(), 2u);

    // The whole start: the loop runs until the window closes, then the status is 0.
    app().reset();
    setenv("QUILLON_WINDOW_BACKEND", "headless", 1);
    RunLoop::main().perform([] {
        auto windows = NSApplication::shared().windows();
        if (!windows.empty()) windows.front()->close();
    });
    char name[] = "Quillon";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(NSApplicationMain(1, argv), 0);
    EXPECT_TRUE(app().isTerminated());
    EXPECT_EQ(app().windowBackend()->name(), "headless");
    unsetenv("QUILLON_WINDOW_BACKEND");

    NSStoryboard::unregisterStoryboard("Main");
    EXPECT_FALSE(app().finishLaunching());  // no storyboard of that name
    Bundle::setMainPath({});
}

TEST(WindowBackends, TheEnvironmentChoosesTheBackend) {
    auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    auto display = keep("DISPLAY"), wayland = keep("WAYLAND_DISPLAY"), chosen = keep("QUILLON_WINDOW_BACKEND");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QUILLON_WINDOW_BACKEND");
    EXPECT_EQ(WindowBackend::chosenName(), "headless");
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_EQ(WindowBackend::chosenName(), "sdl");
    setenv("QUILLON_WINDOW_BACKEND", "headless", 1);
    EXPECT_EQ(WindowBackend::chosenName(), "headless");
    unsetenv("WAYLAND_DISPLAY");
    setenv("QUILLON_WINDOW_BACKEND", "sdl", 1);
    EXPECT_EQ(WindowBackend::chosenName(), "sdl");
    unsetenv("QUILLON_WINDOW_BACKEND");
    auto restore = [](const char* name, const std::optional<std::string>& value) {
        if (value) setenv(name, value->c_str(), 1);
    };
    restore("DISPLAY", display);
    restore("WAYLAND_DISPLAY", wayland);
    restore("QUILLON_WINDOW_BACKEND", chosen);
}

TEST_F(Windowing, AViewPinnedToItsSuperviewCanLeaveIt) {
    auto window = NSWindow::make({0, 0, 200, 100}, standardStyle);
    auto pinned = std::make_shared<RecordingView>();
    pinned->setTranslatesAutoresizingMaskIntoConstraints(false);
    window->contentView()->addSubview(pinned);
    auto content = window->contentView();
    for (auto& c : {pinned->topAnchor().constraint(content->topAnchor()), pinned->bottomAnchor().constraint(content->bottomAnchor()),
                    pinned->leadingAnchor().constraint(content->leadingAnchor()),
                    pinned->trailingAnchor().constraint(content->trailingAnchor())}) {
        c->setActive(true);
    }
    ASSERT_EQ(content->constraints().size(), 4u);
    pinned->removeFromSuperview();
    EXPECT_TRUE(content->constraints().empty());
    window->layoutIfNeeded();
}
