#include "RarAvi/MenuBar.hpp"

#include <algorithm>
#include <cctype>

#include "AppKit/NSMenuItem.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

namespace RarAvi {

namespace {
struct SharedState {
    std::shared_ptr<NSStatusItem> currentItem;
    CGFloat smallInset = 2.0;
    CGFloat largeInset = 3.0;
};

SharedState& shared() {
    static SharedState state;
    return state;
}

bool namesDark(const std::shared_ptr<NSAppearance>& appearance) {
    if (!appearance) return false;
    std::string name = appearance->name();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.find("dark") != std::string::npos;
}
}  // namespace

// MARK: - Theme and shared state

std::string rawValue(MenuBarTheme theme) { return theme == MenuBarTheme::dark ? "dark" : "light"; }

std::optional<MenuBarTheme> menuBarThemeFrom(const std::string& raw) {
    if (raw == "light") return MenuBarTheme::light;
    if (raw == "dark") return MenuBarTheme::dark;
    return std::nullopt;
}

std::shared_ptr<NSStatusItem> MenuBar::currentItem() { return shared().currentItem; }
void MenuBar::setCurrentItem(const std::shared_ptr<NSStatusItem>& item) { shared().currentItem = item; }
CGFloat MenuBar::smallInset() { return shared().smallInset; }
void MenuBar::setSmallInset(CGFloat inset) { shared().smallInset = inset; }
CGFloat MenuBar::largeInset() { return shared().largeInset; }
void MenuBar::setLargeInset(CGFloat inset) { shared().largeInset = inset; }

bool MenuBar::isDarkMode() {
    auto item = currentItem();
    auto button = item ? item->button() : nullptr;
    return button && namesDark(button->effectiveAppearance());
}

MenuBarTheme MenuBar::theme() { return isDarkMode() ? MenuBarTheme::dark : MenuBarTheme::light; }

std::shared_ptr<NSColor> MenuBar::themeColor() {
    return theme() == MenuBarTheme::light ? NSColor::blackColor() : NSColor::whiteColor();
}

std::shared_ptr<NSColor> menuBarThemeColor() { return MenuBar::themeColor(); }

CGFloat MenuBar::thickness() { return NSStatusBar::system().thickness(); }
CGFloat MenuBar::height() { return thickness(); }
CGFloat MenuBar::halfThickness() { return thickness() * 0.5; }
CGFloat MenuBar::paddedThickness() { return thickness() + largeInset() + smallInset(); }
CGFloat MenuBar::maxY() { return thickness() * 0.5 + thickness() * 0.5; }
CGFloat MenuBar::minY() { return 0.0; }
CGFloat MenuBar::centerOffset() { return thickness() * 0.5 - thickness() * 0.5; }

// MARK: - Items

MenuBarItem::MenuBarItem() : item(NSStatusBar::system().statusItem(NSVariableStatusItemLength)) {}

MenuBarItem::MenuBarItem(const std::shared_ptr<NSImage>& image) : MenuBarItem() { setImage(image); }

MenuBarItem::MenuBarItem(const std::shared_ptr<NSView>& view) : MenuBarItem() { addView(view); }

MenuBarItem::MenuBarItem(const std::vector<std::shared_ptr<NSView>>& views) : MenuBarItem() {
    for (const auto& view : views) addView(view);
}

std::shared_ptr<NSResponder> MenuBarItem::target() const {
    auto button = item->button();
    return button ? button->target() : nullptr;
}

void MenuBarItem::setTarget(const std::shared_ptr<NSResponder>& target) {
    if (auto button = item->button()) button->setTarget(target);
}

Selector MenuBarItem::action() const {
    auto button = item->button();
    return button ? button->action() : Selector();
}

void MenuBarItem::setAction(const Selector& action) {
    if (auto button = item->button()) button->setAction(action);
}

std::shared_ptr<NSImage> MenuBarItem::image() const {
    auto button = item->button();
    return button ? button->image() : nullptr;
}

void MenuBarItem::setImage(const std::shared_ptr<NSImage>& image) {
    auto button = item->button();
    if (!button) return;
    removeAllViews();
    button->setImagePosition(NSCellImagePosition::imageLeft);
    button->setImage(image);
}

std::optional<std::string> MenuBarItem::title() const {
    auto button = item->button();
    return button ? std::optional<std::string>(button->title()) : std::nullopt;
}

void MenuBarItem::setTitle(const std::optional<std::string>& title) {
    if (auto button = item->button()) button->setTitle(title.value_or(""));
}

std::shared_ptr<NSFont> MenuBarItem::font() const {
    auto button = item->button();
    return button ? button->font() : nullptr;
}

void MenuBarItem::setFont(const std::shared_ptr<NSFont>& font) {
    if (auto button = item->button()) button->setFont(font);
}

std::optional<std::vector<std::shared_ptr<NSView>>> MenuBarItem::views() const {
    auto button = item->button();
    if (!button) return std::nullopt;
    return button->subviews();
}

void MenuBarItem::setViews(const std::optional<std::vector<std::shared_ptr<NSView>>>& views) {
    auto button = item->button();
    if (!button) return;
    removeAllViews();
    button->setImagePosition(NSCellImagePosition::imageLeft);
    button->setImage(nullptr);
    removeAllViews();
    if (views) {
        for (const auto& view : *views) addView(view);
    }
}

bool MenuBarItem::isDarkMode() const {
    auto button = item->button();
    return button && namesDark(button->effectiveAppearance());
}

void MenuBarItem::removeAllViews() {
    auto button = item->button();
    if (!button) return;
    ZuzeDiv::removeAllSubviews(*button);
    button->setSubviews({});
}

void MenuBarItem::addView(const std::shared_ptr<NSView>& view) {
    auto button = item->button();
    if (button && view) button->addSubview(view);
}

void MenuBarItem::addFillingView(const std::shared_ptr<NSView>& view) {
    auto button = item->button();
    if (!button || !view) return;
    button->addSubview(view);
    ZuzeDiv::pinToSuperview(*view);
}

void MenuBarItem::setSize(CGFloat width, CGFloat height) {
    auto button = item->button();
    if (!button) return;
    if (!widthConstraint) {
        widthConstraint = button->widthAnchor().constraint(width);
        widthConstraint->setActive(true);
    } else {
        widthConstraint->setConstant(width);
    }
    if (!heightConstraint) {
        heightConstraint = button->heightAnchor().constraint(height);
        heightConstraint->setActive(true);
    } else {
        heightConstraint->setConstant(height);
    }
}

void MenuBarItem::setTarget(const std::shared_ptr<NSResponder>& target, const Selector& action, int tag) {
    auto button = item->button();
    if (!button) return;
    button->setTarget(target);
    button->setAction(action);
    button->setTag(tag);
}

void MenuBarItem::removeTarget() {
    auto button = item->button();
    if (!button) return;
    button->setTarget(nullptr);
    button->setAction(Selector());
    button->setTag(0);
}

void MenuBarItem::reset() {
    auto button = item->button();
    if (!button) return;
    button->setImage(nullptr);
    const auto constraints = button->constraints();
    NSLayoutConstraint::deactivate(constraints);
    for (const auto& constraint : constraints) button->removeConstraint(constraint);
    ZuzeDiv::removeAllSubviews(*button);
    button->setSubviews({});
    // The size constraints are gone from the button: keeping them would make every later
    // setSize change constraints that no longer size anything.
    widthConstraint.reset();
    heightConstraint.reset();
}

// MARK: - Host view

MenuBarHostView::MenuBarHostView(CGRect frame) : NSView(frame) {}

std::shared_ptr<MenuBarHostView> MenuBarHostView::make(CGRect frame) {
    auto view = std::make_shared<MenuBarHostView>(frame);
    view->setupEffectView();
    return view;
}

void MenuBarHostView::setEmphasized(bool emphasized) {
    emphasized_ = emphasized;
    setNeedsDisplay(true);
}

void MenuBarHostView::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    if (effectView && effectView->layer()) effectView->layer()->setCornerRadius(radius);
}

void MenuBarHostView::setupEffectView() {
    auto view = NSVisualEffectView::make();
    view->setState(NSVisualEffectView::State::active);
    view->setMaterial(NSVisualEffectView::Material::selection);
    view->setEmphasized(emphasized_);
    view->setBlendingMode(NSVisualEffectView::BlendingMode::behindWindow);
    view->setWantsLayer(true);
    view->layer()->setMasksToBounds(true);
    view->layer()->setCornerRadius(cornerRadius_);
    addSubview(view, Ordering::below, nullptr);
    effectView = view;
    ZuzeDiv::pinToSuperview(*view);
}

void MenuBarHostView::draw(const CGRect&) {
    if (!effectView) return;
    auto menuItem = enclosingMenuItem();
    effectView->setHidden(!(menuItem && menuItem->isHighlighted()));
}

}  // namespace RarAvi
