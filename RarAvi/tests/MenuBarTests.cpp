#include <gtest/gtest.h>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSMenuItem.hpp"
#include "AppKit/NSStatusBar.hpp"
#include "DesktopFixture.hpp"
#include "RarAvi/MenuBar.hpp"
#include "RarAvi/MenuBarItemController.hpp"

using namespace RarAvi;
using DesktopTesting::DesktopTest;

namespace MenuBarTesting {

class StatusItems : public DesktopTest {};

struct Recorder : MenuBarDelegate {
    int itemChanges = 0;
    std::vector<bool> appearances;
    void menuBarItemsDidChange() override { ++itemChanges; }
    void menuBarAppearanceDidChange(bool isDarkMode) override { appearances.push_back(isDarkMode); }
};

class CountingView : public NSView {
public:
    int layouts = 0;
    void layout() override {
        ++layouts;
        NSView::layout();
    }
};

struct Target : NSResponder {
    void clicked(const Selector::Sender&) {}
};

std::shared_ptr<NSImage> picture() { return NSImage::make({16, 16}); }

void setBarAppearance(const std::string& name) { NSStatusBar::system().setAppearance(NSAppearance::named(name)); }

}  // namespace MenuBarTesting

using namespace MenuBarTesting;

TEST_F(StatusItems, ThemeAndMetricsOfTheBar) {
    EXPECT_FALSE(MenuBar::isDarkMode());
    EXPECT_EQ(MenuBar::theme(), MenuBarTheme::light);
    EXPECT_EQ(MenuBar::themeColor()->cgColor(), CGColor::black());

    NSStatusBar::system().setThickness(24);
    EXPECT_EQ(MenuBar::halfThickness(), 12);
    EXPECT_EQ(MenuBar::paddedThickness(), 29);
    MenuBar::setLargeInset(5);
    MenuBar::setSmallInset(1);
    EXPECT_EQ(MenuBar::paddedThickness(), 30);
    EXPECT_EQ(MenuBar::maxY(), 24);
    EXPECT_EQ(MenuBar::minY(), 0);
    EXPECT_EQ(MenuBar::centerOffset(), 0);

    MenuBarItem item;
    MenuBar::setCurrentItem(item.item);
    setBarAppearance(NSAppearanceNameVibrantDark);
    EXPECT_TRUE(MenuBar::isDarkMode());
    EXPECT_TRUE(item.isDarkMode());
    EXPECT_EQ(rawValue(MenuBar::theme()), "dark");
    EXPECT_EQ(menuBarThemeColor()->cgColor(), CGColor::white());

    EXPECT_EQ(menuBarThemeFrom("dark"), MenuBarTheme::dark);
    EXPECT_EQ(menuBarThemeFrom("light"), MenuBarTheme::light);
    EXPECT_FALSE(menuBarThemeFrom("Dark"));
}

TEST_F(StatusItems, ImagesTitlesAndViewsShareTheButton) {
    auto label = NSView::make();
    MenuBarItem item(picture());
    EXPECT_TRUE(NSStatusBar::system().containsItem(item.item));
    EXPECT_EQ(item.length(), NSVariableStatusItemLength);
    auto button = item.item->button();
    EXPECT_TRUE(item.image());
    EXPECT_EQ(button->imagePosition(), NSCellImagePosition::imageLeft);

    item.addView(label);
    item.setImage(picture());
    EXPECT_TRUE(button->subviews().empty());

    item.addView(label);
    item.setViews(std::vector<std::shared_ptr<NSView>>{});
    EXPECT_FALSE(item.image());
    EXPECT_EQ(item.views()->size(), 0u);
    item.setViews(std::vector<std::shared_ptr<NSView>>{label, NSView::make()});
    EXPECT_EQ(item.views()->size(), 2u);

    item.setTitle("42%");
    EXPECT_EQ(item.title(), "42%");
    item.setTitle(std::nullopt);
    EXPECT_EQ(item.title(), "");

    auto target = std::make_shared<Target>();
    item.setTarget(target, Selector::make("clicked:", &Target::clicked), 7);
    EXPECT_EQ(item.target(), target);
    EXPECT_EQ(item.action().name(), "clicked:");
    EXPECT_EQ(button->tag(), 7);
    item.removeTarget();
    EXPECT_FALSE(item.target());
    EXPECT_FALSE(item.action());
    EXPECT_EQ(button->tag(), 0);

    MenuBarItem filled(std::vector<std::shared_ptr<NSView>>{NSView::make()});
    auto content = NSView::make();
    filled.addFillingView(content);
    EXPECT_EQ(filled.views()->size(), 2u);
    EXPECT_FALSE(content->translatesAutoresizingMaskIntoConstraints());
    EXPECT_EQ(filled.item->button()->constraints().size(), 4u);
}

TEST_F(StatusItems, SizeConstraintsAreMadeOnceAndAnewAfterAReset) {
    MenuBarItem item;
    auto button = item.item->button();
    item.setSize(40, 22);
    auto width = item.widthConstraint;
    ASSERT_TRUE(width && item.heightConstraint);
    item.setSize(60, 20);
    EXPECT_EQ(item.widthConstraint, width);
    EXPECT_EQ(width->constant(), 60);
    EXPECT_EQ(item.heightConstraint->constant(), 20);
    EXPECT_EQ(button->constraints().size(), 2u);

    item.addView(NSView::make());
    button->setImage(picture());
    item.reset();
    EXPECT_FALSE(button->image());
    EXPECT_TRUE(button->subviews().empty());
    EXPECT_TRUE(button->constraints().empty());
    EXPECT_FALSE(width->isActive());

    // Sizing after a reset sizes the button again.
    item.setSize(30, 18);
    ASSERT_TRUE(item.widthConstraint);
    EXPECT_NE(item.widthConstraint, width);
    EXPECT_TRUE(item.widthConstraint->isActive());
    EXPECT_EQ(button->constraints().size(), 2u);
}

TEST_F(StatusItems, AnItemWithoutAButtonAnswersNothing) {
    MenuBarItem item(picture());
    item.item->setView(NSView::make());
    EXPECT_FALSE(item.title());
    EXPECT_FALSE(item.image());
    EXPECT_FALSE(item.views());
    EXPECT_FALSE(item.font());
    EXPECT_FALSE(item.isDarkMode());
    item.setTitle("ignored");
    item.setSize(10, 10);
    EXPECT_FALSE(item.widthConstraint);
    item.reset();
    item.removeAllViews();
}

TEST_F(StatusItems, TheHostViewShowsItsBackgroundWhileItsMenuItemIsHighlighted) {
    auto host = MenuBarHostView::make({0, 0, 120, 24});
    ASSERT_TRUE(host->effectView);
    auto effect = host->effectView;
    EXPECT_EQ(host->subviews().front(), effect);
    EXPECT_EQ(effect->state(), NSVisualEffectView::State::active);
    EXPECT_EQ(effect->material(), NSVisualEffectView::Material::selection);
    EXPECT_EQ(effect->blendingMode(), NSVisualEffectView::BlendingMode::behindWindow);
    EXPECT_TRUE(effect->isEmphasized());
    EXPECT_TRUE(effect->layer()->masksToBounds());
    EXPECT_EQ(effect->layer()->cornerRadius(), host->cornerRadius());
    host->setCornerRadius(6);
    EXPECT_EQ(effect->layer()->cornerRadius(), 6);
    host->setEmphasized(false);
    EXPECT_TRUE(effect->isEmphasized());
    EXPECT_FALSE(host->allowsVibrancy());

    host->draw(host->bounds());
    EXPECT_TRUE(effect->isHidden());

    auto wrapper = NSView::make({0, 0, 120, 24});
    wrapper->addSubview(host);
    auto menuItem = NSMenuItem::make("Custom");
    menuItem->setView(wrapper);
    host->draw(host->bounds());
    EXPECT_TRUE(effect->isHidden());
    menuItem->setHighlighted(true);
    EXPECT_TRUE(host->enclosingMenuItem() == menuItem);
    host->draw(host->bounds());
    EXPECT_FALSE(effect->isHidden());
    menuItem->setHighlighted(false);
    host->draw(host->bounds());
    EXPECT_TRUE(effect->isHidden());
}

TEST_F(StatusItems, TheControllerReportsItemChangesAndFollowsTheBarsAppearance) {
    auto recorder = std::make_shared<Recorder>();
    auto counting = std::make_shared<CountingView>();
    {
        MenuBarItemController controller(counting);
        ASSERT_EQ(controller.count(), 1);
        EXPECT_EQ(MenuBar::currentItem(), controller.mainItem()->item);
        const int layoutsAtStart = counting->layouts;
        EXPECT_EQ(layoutsAtStart, 1);  // the initial observation lays the views out
        controller.setDelegate(recorder);

        setBarAppearance(NSAppearanceNameDarkAqua);
        setBarAppearance(NSAppearanceNameAqua);
        setBarAppearance(NSAppearanceNameVibrantDark);
        EXPECT_EQ(recorder->appearances, (std::vector<bool>{true, false, true}));
        EXPECT_EQ(counting->layouts, 4);
        EXPECT_TRUE(controller.isDarkMode());
        // A bar without a look of its own follows the application's, as the desktop switches it.
        NSStatusBar::system().setAppearance(nullptr);
        NSApplication::shared().setSystemAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
        NSApplication::shared().setSystemAppearance(nullptr);
        EXPECT_EQ(recorder->appearances, (std::vector<bool>{true, false, true, false, true, false}));

        controller.setLength(30);
        EXPECT_EQ(controller.mainItem()->length(), 30);
        auto menu = NSMenu::make();
        controller.setMenu(menu);
        EXPECT_EQ(controller.mainItem()->item->menu(), menu);
        NSMenu::setMenuBarVisible(false);
        EXPECT_FALSE(controller.menuBarVisible());

        // Made items are in the bar, not in the list.
        auto extra = controller.makeItem(picture());
        auto other = controller.makeItem(NSView::make());
        EXPECT_TRUE(NSStatusBar::system().containsItem(extra->item));
        EXPECT_EQ(controller.count(), 1);
        EXPECT_EQ(recorder->itemChanges, 0);

        controller.add(extra);
        controller.add(other);
        controller.add(controller.makeItem(picture()));
        EXPECT_EQ(recorder->itemChanges, 3);
        EXPECT_EQ(controller.item(2), other);
        EXPECT_FALSE(controller.item(4));
        EXPECT_FALSE(controller.item(-1));

        // Removing an item that is not in the list still takes it out of the bar and reports.
        auto stranger = controller.makeItem(picture());
        controller.remove(stranger);
        EXPECT_FALSE(NSStatusBar::system().containsItem(stranger->item));
        EXPECT_EQ(recorder->itemChanges, 4);

        controller.removeAllButFirst();
        EXPECT_EQ(recorder->itemChanges, 8);
        EXPECT_EQ(controller.count(), 1);
        EXPECT_FALSE(NSStatusBar::system().containsItem(extra->item));
        controller.removeAllButFirst();
        EXPECT_EQ(recorder->itemChanges, 8);
    }
    // Released: the current item is cleared and the appearance is no longer observed.
    EXPECT_FALSE(MenuBar::currentItem());
    setBarAppearance(NSAppearanceNameAqua);
    EXPECT_EQ(recorder->appearances.size(), 6u);
}

TEST_F(StatusItems, ControllersWithoutOrWithAChangedMainItemComeApartCleanly) {
    auto recorder = std::make_shared<Recorder>();
    {
        MenuBarItemController empty(false);
        empty.setDelegate(recorder);
        EXPECT_EQ(empty.count(), 0);
        EXPECT_FALSE(empty.mainItem());
        EXPECT_FALSE(empty.isDarkMode());
        EXPECT_EQ(empty.length(), 0);
        empty.removeAllButFirst();
        empty.removeMainItem();
        empty.add(std::make_shared<MenuBarItem>());
        setBarAppearance(NSAppearanceNameDarkAqua);
        EXPECT_TRUE(recorder->appearances.empty());
    }
    {
        MenuBarItemController controller;
        controller.setDelegate(recorder);
        auto second = std::make_shared<MenuBarItem>();
        controller.add(second);
        controller.removeMainItem();
        EXPECT_FALSE(MenuBar::currentItem());
        EXPECT_EQ(controller.mainItem(), second);
        setBarAppearance(NSAppearanceNameAqua);
        EXPECT_TRUE(recorder->appearances.empty());
    }
    {
        MenuBarItemController controller;
        auto first = controller.mainItem();
        controller.setDelegate(recorder);
        controller.remove(first);
        EXPECT_EQ(controller.count(), 0);
        // The removed item's button is still observed; with no item left nothing is reported.
        first->item->button()->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
        EXPECT_TRUE(recorder->appearances.empty());
    }
    EXPECT_EQ(recorder->itemChanges, 4);
}
