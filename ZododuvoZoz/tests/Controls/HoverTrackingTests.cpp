#include <gtest/gtest.h>

#include "AppKit/NSCursor.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "ControlTestSupport.hpp"
#include "ZododuvoZoz/Controls/HoverButton.hpp"
#include "ZododuvoZoz/Controls/LinkButton.hpp"
#include "ZododuvoZoz/Controls/ToggleButton.hpp"
#include "ZododuvoZoz/Controls/ToolbarButton.hpp"

namespace ZododuvoZoz::ControlTesting {
namespace {

// Notes each click a delegate hears, with the state the button showed then.
struct ClickLog : HoverButtonDelegate, ToggleButtonDelegate, ToolbarButtonDelegate {
    std::vector<std::string> clicks;
    void hoverButtonClicked(const std::shared_ptr<HoverButton>&) override { clicks.push_back("hover"); }
    void toggleButtonClicked(const std::shared_ptr<ToggleButton>& button) override {
        clicks.push_back(button->isOn() ? "toggle on" : "toggle off");
    }
    void toolbarButtonClicked(const std::shared_ptr<ToolbarButton>& button) override {
        clicks.push_back(button->isSelected() ? "toolbar selected" : "toolbar");
    }
};

using HoverButtonTest = ControlTest;

TEST_F(HoverButtonTest, BackgroundShowsOnHoverOrAlwaysAndGreysWhenDisabled) {
    auto button = HoverButton::make({0, 0, 100, 30});
    auto window = windowWith(button);
    auto& background = *button->backgroundLayer();
    EXPECT_EQ(background.fillColor(), std::nullopt);
    EXPECT_EQ(background.strokeColor(), std::nullopt);

    HeadlessWindowBackend::moveMouse(*window, inWindow(*button, {50, 15}));
    EXPECT_TRUE(button->hover());
    EXPECT_EQ(background.fillColor(), rgb(242, 242, 242));
    window->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    button->setup();  // the button does not follow the appearance by itself
    EXPECT_EQ(background.fillColor(), rgb(41, 41, 41));
    EXPECT_EQ(button->textLayer()->foregroundColor(), inAppearance(NSColor::textColor(), true));

    HeadlessWindowBackend::moveMouse(*window, {2, 2});
    EXPECT_FALSE(button->hover());
    EXPECT_EQ(background.fillColor(), std::nullopt);
    button->setAlwaysShowBackground(true);
    EXPECT_EQ(background.fillColor(), rgb(41, 41, 41));

    button->setEnabled(false);
    button->setup();
    EXPECT_EQ(background.fillColor(), inAppearance(NSColor::lightGrayColor()));
    EXPECT_EQ(button->textLayer()->foregroundColor(), inAppearance(NSColor::textColor(), true));
}

TEST_F(HoverButtonTest, OneTrackingAreaOverTheBoundsWhateverTheLayouts) {
    auto button = HoverButton::make({0, 0, 100, 30});
    ASSERT_EQ(button->trackingAreas().size(), 1u);
    for (int i = 0; i < 3; ++i) {
        button->setFrameSize({100 + 10.0 * i, 30});
        button->layoutSubtreeIfNeeded();
    }
    ASSERT_EQ(button->trackingAreas().size(), 1u);
    auto area = button->trackingAreas().front();
    EXPECT_EQ(area, button->trackingArea());
    EXPECT_EQ(area->rect(), (CGRect{0, 0, 120, 30}));
    EXPECT_EQ(area->options().rawValue, 0x81u);
    EXPECT_EQ(area->owner(), button);
}

TEST_F(HoverButtonTest, DelegatesHearEveryPressOnceItEnds) {
    auto log = std::make_shared<ClickLog>();
    auto hover = HoverButton::make({0, 0, 100, 30});
    auto toggle = ToggleButton::make({0, 0, 100, 30});
    auto toolbar = ToolbarButton::make({0, 0, 100, 30});
    hover->setDelegate(log);
    toggle->setDelegate(log);
    toolbar->setDelegate(log);
    std::vector<std::shared_ptr<NSWindow>> windows;
    for (std::shared_ptr<NSButton> button : std::vector<std::shared_ptr<NSButton>>{hover, toggle, toolbar}) {
        log->clicks.clear();
        int actions = 0;
        button->setAction([&](NSControl&) { ++actions; });
        auto window = windows.emplace_back(windowWith(button));
        CGPoint inside = inWindow(*button, {50, 15});
        press(*window, inside);
        EXPECT_TRUE(log->clicks.empty());  // not while the press lasts
        release(*window, {1, 1});          // outside: no action, the delegate still hears
        EXPECT_EQ(log->clicks.size(), 1u);
        EXPECT_EQ(actions, 0);
        HeadlessWindowBackend::click(*window, inside);
        EXPECT_EQ(actions, 1);
        button->setEnabled(false);  // no action, the delegate still hears
        HeadlessWindowBackend::click(*window, inside);
        EXPECT_EQ(actions, 1);
        EXPECT_EQ(log->clicks.size(), 3u);
    }
    // Clicks never change the state the host set.
    toggle->setOn(true);
    toolbar->setSelected(true);
    log->clicks.clear();
    auto toggleWindow = windows[1];
    auto toolbarWindow = windows[2];
    HeadlessWindowBackend::click(*toggleWindow, inWindow(*toggle, {50, 15}));
    HeadlessWindowBackend::click(*toolbarWindow, inWindow(*toolbar, {50, 15}));
    EXPECT_EQ(log->clicks, (std::vector<std::string>{"toggle on", "toolbar selected"}));
    EXPECT_TRUE(toggle->isOn());
    EXPECT_TRUE(toolbar->isSelected());

    // A delegate that is gone is not called.
    log.reset();
    HeadlessWindowBackend::click(*toggleWindow, inWindow(*toggle, {50, 15}));
}

using ToggleButtonTest = ControlTest;

TEST_F(ToggleButtonTest, BackgroundAndTitleColoursFollowStateHoverAndAppearance) {
    auto button = ToggleButton::make({0, 0, 120, 30});
    auto window = windowWith(button);
    auto& background = *button->backgroundLayer();
    auto title = [&] { return button->textLayer()->foregroundColor(); };
    EXPECT_EQ(background.fillColor(), std::nullopt);
    EXPECT_EQ(title(), inAppearance(NSColor::labelColor()));

    HeadlessWindowBackend::moveMouse(*window, inWindow(*button, {60, 15}));
    EXPECT_EQ(background.fillColor(), rgb(242, 242, 242));
    EXPECT_EQ(title(), inAppearance(NSColor::labelColor()));
    button->setAlwaysShowBackground(true);
    EXPECT_EQ(title(), inAppearance(NSColor::systemBlueColor()));

    // Switching to dark redraws: the hover colour and the teal title of the hovered, shown background.
    window->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    EXPECT_EQ(background.fillColor(), inAppearance(NSColor::quaternaryLabelColor(), true).copy(0.4));
    EXPECT_EQ(title(), inAppearance(NSColor::systemTealColor(), true));

    // Turning it on drops the hover, which comes back only when the pointer enters anew.
    button->setOn(true);
    EXPECT_FALSE(button->hover());
    EXPECT_EQ(background.fillColor(), button->onColor()->cgColor());
    EXPECT_EQ(title(), inAppearance(NSColor::systemBlueColor(), true));
    HeadlessWindowBackend::moveMouse(*window, inWindow(*button, {70, 15}));
    EXPECT_FALSE(button->hover());
    button->setOn(false);
    EXPECT_EQ(title(), inAppearance(NSColor::labelColor(), true));  // still no hover
    HeadlessWindowBackend::moveMouse(*window, {1, 1});
    HeadlessWindowBackend::moveMouse(*window, inWindow(*button, {70, 15}));
    EXPECT_EQ(title(), inAppearance(NSColor::systemTealColor(), true));

    button->setEnabled(false);
    button->setup();
    EXPECT_EQ(background.fillColor(), inAppearance(NSColor::lightGrayColor()));
    EXPECT_EQ(title(), inAppearance(NSColor::systemTealColor(), true));  // titles ignore the enabled state
}

TEST_F(ToggleButtonTest, IgnoredClicksSendNothingButTheHighlightStays) {
    auto log = std::make_shared<ClickLog>();
    auto button = ToggleButton::make({0, 0, 120, 30});
    button->setDelegate(log);
    int actions = 0;
    button->setAction([&](NSControl&) { ++actions; });
    button->setIgnoreClick(true);
    auto window = windowWith(button);
    HeadlessWindowBackend::moveMouse(*window, inWindow(*button, {60, 15}));
    HeadlessWindowBackend::click(*window, inWindow(*button, {60, 15}));
    EXPECT_EQ(actions, 0);
    EXPECT_TRUE(log->clicks.empty());
    EXPECT_EQ(button->backgroundLayer()->fillColor(), rgb(242, 242, 242));
}

TEST_F(ToggleButtonTest, IconShowsOnlyWithASizeAtTheLeftEdge) {
    auto button = ToggleButton::make({0, 0, 120, 30});
    button->setIcon(NSImage::systemSymbol("wifi"));
    EXPECT_EQ(button->imageLayer()->superlayer(), nullptr);  // 0 by 0
    button->setIconSize({16, 12});
    button->setup();
    EXPECT_EQ(button->imageLayer()->frame(), (CGRect{4, 9, 16, 12}));
    EXPECT_EQ(sublayersOf(*button->layer()), (std::vector<const CALayer*>{button->backgroundLayer().get(),
                                                                          button->textLayer().get(),
                                                                          button->imageLayer().get()}));
    button->setFont(nullptr);  // background and icon remain
    button->setup();
    EXPECT_EQ(sublayersOf(*button->layer()),
              (std::vector<const CALayer*>{button->backgroundLayer().get(), button->imageLayer().get()}));
}

using ToolbarButtonTest = ControlTest;

TEST_F(ToolbarButtonTest, SymbolInTheTintOverABackgroundWhileHoveredOrSelected) {
    auto button = ToolbarButton::make({0, 0, 32, 32});
    auto window = windowWith(button);
    auto& background = *button->backgroundLayer();
    EXPECT_EQ(button->imageLayer()->contents(), nullptr);  // no image: nothing but the background
    EXPECT_EQ(sublayersOf(*button->layer()), (std::vector<const CALayer*>{&background, button->imageLayer().get()}));
    EXPECT_EQ(background.fillColor(), std::nullopt);

    button->setSelected(true);
    CGColor accent = inAppearance(NSColor::controlAccentColor());
    EXPECT_EQ(background.fillColor(), accent.copy(0.22));
    button->setCustomColor(NSColor::make(1, 0, 0));
    EXPECT_EQ(background.fillColor(), (CGColor{1, 0, 0, 0.22}));
    button->setSelected(false);
    EXPECT_EQ(background.fillColor(), std::nullopt);

    HeadlessWindowBackend::moveMouse(*window, inWindow(*button, {16, 16}));
    EXPECT_EQ(background.fillColor(), (CGColor{1, 0, 0, 0.22}));
    button->setSelected(true);  // the selected look stays, the hover goes
    EXPECT_FALSE(button->hover());
    button->setSelected(false);
    EXPECT_EQ(background.fillColor(), std::nullopt);

    // The symbol at 14 points, regular, made a template and tinted red in the middle.
    auto symbol = NSImage::systemSymbol("trash");
    symbol->setTemplate(false);
    button->setCustomImage(symbol);
    EXPECT_TRUE(symbol->isTemplate());
    auto contents = button->imageLayer()->contents();
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->width(), 17u);  // a 14-point symbol is 17 points tall
    auto image = ViewRenderer::image(*button);
    Bytes strongest{};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            Bytes p = pixelAt(*image, x, y);
            if (p[3] > strongest[3]) strongest = p;
        }
    }
    bool red = strongest[3] > 200 && strongest[0] > 200 && strongest[1] < 40 && strongest[2] < 40;
    EXPECT_TRUE(red);

    button->setEnabled(false);  // looks the same
    button->setup();
    EXPECT_EQ(button->imageLayer()->contents()->width(), 17u);

    // An image that is no symbol shows nothing.
    button->setCustomImage(NSImage::make({16, 16}));
    EXPECT_EQ(button->imageLayer()->contents(), nullptr);
}

using LinkButtonTest = ControlTest;

TEST_F(LinkButtonTest, PointingHandWhileEnabledArrowWhileDisabled) {
    auto link = LinkButton::make({0, 0, 100, 20});
    auto window = windowWith(link);
    CGPoint inside = inWindow(*link, {50, 10});
    EXPECT_EQ(window->cursorAt(inside), NSCursor::pointingHandCursor());
    EXPECT_EQ(window->cursorAt(inWindow(*link, {99, 19})), NSCursor::pointingHandCursor());
    EXPECT_EQ(window->cursorAt({5, 5}), NSCursor::arrowCursor());

    HeadlessWindowBackend::moveMouse(*window, inside);
    EXPECT_EQ(NSCursor::current(), NSCursor::pointingHandCursor());
    HeadlessWindowBackend::moveMouse(*window, {5, 5});
    EXPECT_EQ(NSCursor::current(), NSCursor::arrowCursor());

    link->setEnabled(false);
    HeadlessWindowBackend::moveMouse(*window, inside);
    EXPECT_EQ(NSCursor::current(), NSCursor::arrowCursor());
}

}  // namespace
}  // namespace ZododuvoZoz::ControlTesting
