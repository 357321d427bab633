#include "Quillon/MainStoryboard.hpp"

#include <cmath>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSLayoutConstraint.hpp"
#include "AppKit/NSMenu.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "AppKit/NSToolbar.hpp"
#include "AppKit/NSWindow.hpp"
#include "Foundation/Bundle.hpp"
#include "Quillon/AppDelegate.hpp"
#include "Quillon/BatteryCells.hpp"
#include "Quillon/ViewController.hpp"
#include "Quillon/WindowController.hpp"
#include "ZododuvoZoz/BackgroundlessViews.hpp"
#include "ZododuvoZoz/Gauge.hpp"

namespace Quillon {
namespace {

// Layout of a row, in points.
constexpr CGFloat pictureSize = 56;
constexpr CGFloat gaugeSize = 80;
constexpr CGFloat sideMargin = 20;

std::string localized(const std::string& key) { return Bundle::main()->localizedString(key, ""); }

void activate(const std::shared_ptr<NSLayoutConstraint>& constraint) { constraint->setActive(true); }

template <class View>
std::shared_ptr<View> constrained(std::shared_ptr<View> view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    return view;
}

std::shared_ptr<NSTextField> label(CGFloat size, NSFont::Weight weight, const std::shared_ptr<NSColor>& color) {
    auto field = constrained(NSTextField::labelWithString(""));
    field->setFont(NSFont::systemFont(size, weight));
    field->setTextColor(color);
    field->setLineBreakMode(NSLineBreakMode::byTruncatingTail);
    return field;
}

// The device table: clear, and a drag on its rows moves the window as a drag on the background does
// (the rows take no clicks of their own).
class DeviceTableView final : public ZododuvoZoz::NoBackgroundTableView {
public:
    bool mouseDownCanMoveWindow() const override { return true; }
};

// The device list's view: the table in a scroll view with 8 points above and below, and the empty
// text in the middle.
class StoryboardViewController final : public ViewController {
public:
    using ViewController::ViewController;
    void loadView() override {
        auto root = NSView::make(CGRect{0, 0, MainStoryboard::windowWidth, MainStoryboard::initialContentHeight});
        auto scroll = constrained(ZododuvoZoz::NoBackgroundScrollView::make());
        auto table = std::make_shared<DeviceTableView>();
        // Sized to fit the 16 points of content the window keeps when its last device goes.
        auto empty = label(13, NSFont::Weight::medium(), NSColor::secondaryLabelColor());
        empty->setAlignment(NSTextAlignment::center);
        root->addSubview(scroll);
        root->addSubview(empty);
        activate(scroll->topAnchor().constraint(root->topAnchor(), verticalMargins / 2));
        activate(scroll->bottomAnchor().constraint(root->bottomAnchor(), -verticalMargins / 2));
        activate(scroll->leadingAnchor().constraint(root->leadingAnchor()));
        activate(scroll->trailingAnchor().constraint(root->trailingAnchor()));
        activate(empty->centerYAnchor().constraint(root->centerYAnchor()));
        activate(empty->leadingAnchor().constraint(root->leadingAnchor(), sideMargin));
        activate(empty->trailingAnchor().constraint(root->trailingAnchor(), -sideMargin));
        activate(empty->heightAnchor().constraint(16.0));

        table->setRowHeight(rowHeight);
        table->setIntercellSpacing({0, 0});
        table->registerCellFactory(cellIdentifier, [] { return MainStoryboard::makeSingleCell(); });
        scroll->setDocumentView(table);
        table->setup();
        auto self = std::static_pointer_cast<ViewController>(shared_from_this());
        table->setDataSource(self);
        table->setDelegate(self);

        tableView = table;
        scrollView = scroll;
        emptyLabel = empty;
        setView(root);
    }
};

}  // namespace

std::shared_ptr<WindowController> MainStoryboard::makeWindowController(std::shared_ptr<BatteryController> batteryController) {
    auto content = batteryController ? std::make_shared<StoryboardViewController>(std::move(batteryController))
                                     : std::make_shared<StoryboardViewController>();
    auto style = NSWindow::StyleMask::titled() | NSWindow::StyleMask::closable() | NSWindow::StyleMask::miniaturizable() |
                 NSWindow::StyleMask::resizable();
    auto window = NSWindow::make(CGRect{0, 0, MainStoryboard::windowWidth, MainStoryboard::initialContentHeight}, style);
    window->setTitle("Quillon");
    auto controller = std::make_shared<WindowController>(window);

    // The toolbar: the keep-in-front control and the About item at its right end.
    auto toolbar = NSToolbar::make("MainToolbar");
    auto keepInFront = NSSegmentedControl::make({localized("IN_FRONT"), localized("NORMAL")}, nullptr);
    keepInFront->setAction(Selector::make("keepInFrontChanged:", &WindowController::keepInFrontChanged));
    keepInFront->setTarget(controller);
    auto keepInFrontItem = NSToolbarItem::make("KeepInFront");
    keepInFrontItem->setLabel(localized("KEEP_IN_FRONT"));
    keepInFrontItem->setView(keepInFront);
    auto about = NSToolbarItem::make("About");
    about->setLabel(localized("ABOUT"));
    about->setToolTip(localized("ABOUT"));
    about->setImage(NSImage::named("About"));
    about->setAction(Selector::make("aboutClicked:", &WindowController::aboutClicked));
    about->setTarget(controller);
    toolbar->addItem(NSToolbarItem::make(NSToolbarItem::flexibleSpace));
    toolbar->addItem(keepInFrontItem);
    toolbar->addItem(about);
    window->setToolbar(toolbar);

    window->setContentViewController(content);
    // Centred across the screen, its top edge high up: the window grows downwards by a row per
    // device.
    window->center();
    if (auto screen = NSScreen::main()) {
        CGRect area = screen->visibleFrame();
        CGRect frame = window->frame();
        window->setFrameOrigin(CGPoint{frame.minX(), std::round(area.maxY() - area.height() / 8 - frame.height())});
    }
    controller->about = about;
    controller->keepInFront = keepInFront;
    return controller;
}

std::shared_ptr<AppDelegate> MainStoryboard::makeApplicationDelegate() {
    auto delegate = std::make_shared<AppDelegate>();
    auto menu = NSMenu::make("Main");
    auto application = std::make_shared<NSMenuItem>("Quillon");
    auto items = NSMenu::make("Quillon");
    auto about = items->addItem(localized("MENU_ABOUT"), Selector::make("aboutClicked:", &AppDelegate::aboutClicked));
    about->setTarget(delegate);
    auto help = items->addItem(localized("MENU_HELP"), Selector::make("helpClicked:", &AppDelegate::helpClicked), "?");
    help->setTarget(delegate);
    application->setSubmenu(items);
    menu->addItem(application);
    NSApplication::shared().setMainMenu(menu);
    return delegate;
}

std::shared_ptr<NSView> MainStoryboard::makeSingleCell() {
    auto cell = std::make_shared<SingleBatteryCell>(CGRect{0, 0, windowWidth, ViewController::rowHeight});
    auto picture = constrained(NSImageView::make());
    picture->setImageScaling(NSImageScaling::scaleProportionallyUpOrDown);
    auto name = label(15, NSFont::Weight::semibold(), NSColor::labelColor());
    auto level = label(13, NSFont::Weight::regular(), NSColor::secondaryLabelColor());
    auto gauge = constrained(ZododuvoZoz::Gauge::make());
    auto charging = constrained(NSImageView::make());
    charging->setImage(NSImage::named("Charging"));
    charging->setImageScaling(NSImageScaling::scaleProportionallyUpOrDown);
    for (const auto& view : std::vector<std::shared_ptr<NSView>>{picture, name, level, gauge, charging}) cell->addSubview(view);

    // The picture at the left, the texts beside it, the gauge at the right with the charging mark
    // in the ring's middle.
    activate(picture->leadingAnchor().constraint(cell->leadingAnchor(), sideMargin));
    activate(picture->centerYAnchor().constraint(cell->centerYAnchor()));
    activate(picture->widthAnchor().constraint(pictureSize));
    activate(picture->heightAnchor().constraint(pictureSize));
    activate(gauge->trailingAnchor().constraint(cell->trailingAnchor(), -(sideMargin - 8)));
    activate(gauge->centerYAnchor().constraint(cell->centerYAnchor()));
    activate(gauge->widthAnchor().constraint(gaugeSize));
    activate(gauge->heightAnchor().constraint(gaugeSize));
    activate(name->leadingAnchor().constraint(picture->trailingAnchor(), 16));
    activate(name->trailingAnchor().constraint(gauge->leadingAnchor(), -8));
    activate(name->bottomAnchor().constraint(cell->centerYAnchor(), -1));
    activate(name->heightAnchor().constraint(20.0));
    activate(level->leadingAnchor().constraint(name->leadingAnchor()));
    activate(level->trailingAnchor().constraint(name->trailingAnchor()));
    activate(level->topAnchor().constraint(cell->centerYAnchor(), 3));
    activate(level->heightAnchor().constraint(18.0));
    activate(charging->centerXAnchor().constraint(gauge->centerXAnchor()));
    activate(charging->centerYAnchor().constraint(gauge->centerYAnchor()));
    activate(charging->widthAnchor().constraint(16.0));
    activate(charging->heightAnchor().constraint(22.0));

    cell->setImageView(picture);
    cell->name = name;
    cell->value = gauge;
    cell->level = level;
    cell->isChargingIcon = charging;
    return cell;
}

void MainStoryboard::registerScenes() {
    NSStoryboard::registerStoryboard(name, {windowScene,
                                            {{windowScene, [] { return makeWindowController(); }},
                                             {NSApplication::applicationDelegateSceneIdentifier,
                                              [] { return makeApplicationDelegate(); }}}});
}

}  // namespace Quillon
