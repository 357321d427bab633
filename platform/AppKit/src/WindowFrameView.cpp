#include "WindowFrameView.hpp"

#include <algorithm>
#include <cmath>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"

namespace {
constexpr CGFloat buttonDiameter = 12;
constexpr CGFloat toolbarItemHeight = 26;
constexpr CGFloat toolbarSpacing = 8;
constexpr CGFloat menuRowHeight = 22;
constexpr CGFloat menuSeparatorHeight = 9;
constexpr CGFloat menuPadding = 5;

void fill(const CGRect& rect, CGColor color) {
    NSColor::fromCGColor(color)->setFill();
    NSBezierPath::rect(rect)->fill();
}

CGColor chromeColor() { return drawingDark() ? CGColor::gray(0.21) : CGColor::gray(0.925); }
CGColor separatorLine() { return drawingDark() ? CGColor::gray(0.05) : CGColor::gray(0.78); }

NSAttributedString text(const std::string& string, CGFloat size, bool bold = false) {
    return NSAttributedString(string, {{NSAttributedStringKey::font(), bold ? NSFont::boldSystemFont(size) : NSFont::systemFont(size)},
                                       {NSAttributedStringKey::foregroundColor(), NSColor::labelColor()}});
}

void drawCentred(const NSAttributedString& string, const CGRect& rect) {
    CGSize size = string.size();
    string.draw(CGPoint{std::round(rect.midX() - size.width / 2), std::round(rect.midY() - size.height / 2)});
}
}  // namespace

bool drawingDark() {
    auto appearance = NSAppearance::currentDrawing();
    return appearance && appearance->name().find("Dark") != std::string::npos;
}

// Window buttons.

void WindowButton::draw(const CGRect&) {
    CGColor color;
    switch (type_) {
        case NSWindow::ButtonType::closeButton: color = {1.0, 0.373, 0.341, 1}; break;
        case NSWindow::ButtonType::miniaturizeButton: color = {0.996, 0.737, 0.180, 1}; break;
        case NSWindow::ButtonType::zoomButton: color = {0.157, 0.784, 0.251, 1}; break;
    }
    if (pressed_) color = {color.red * 0.7, color.green * 0.7, color.blue * 0.7, 1};
    NSColor::fromCGColor(color)->setFill();
    NSBezierPath::ovalIn(bounds())->fill();
    if (type_ == NSWindow::ButtonType::closeButton) {
        // A small cross, so the close button reads as one without colour.
        auto cross = NSBezierPath::make();
        CGRect b = bounds();
        CGFloat inset = 3.5;
        cross->move(CGPoint{b.minX() + inset, b.minY() + inset});
        cross->line(CGPoint{b.maxX() - inset, b.maxY() - inset});
        cross->move(CGPoint{b.minX() + inset, b.maxY() - inset});
        cross->line(CGPoint{b.maxX() - inset, b.minY() + inset});
        cross->setLineWidth(1.2);
        NSColor::fromCGColor(CGColor{0.45, 0.05, 0.03, 1})->setStroke();
        cross->stroke();
    }
}

void WindowButton::mouseDown(const NSEvent&) {
    pressed_ = true;
    setNeedsDisplay();
}

void WindowButton::mouseUp(const NSEvent& event) {
    bool wasPressed = pressed_;
    pressed_ = false;
    setNeedsDisplay();
    if (!wasPressed || !bounds().contains(convert(event.locationInWindow, nullptr))) return;
    if (!window_) return;
    switch (type_) {
        case NSWindow::ButtonType::closeButton: window_->performClose(nullptr); break;
        case NSWindow::ButtonType::miniaturizeButton: window_->performMiniaturize(nullptr); break;
        case NSWindow::ButtonType::zoomButton: window_->performZoom(nullptr); break;
    }
}

// The menu button.

void MenuButton::draw(const CGRect&) {
    NSColor::fromCGColor(drawingDark() ? CGColor::gray(0.85) : CGColor::gray(0.3))->setFill();
    CGRect b = bounds();
    for (int line = 0; line < 3; ++line) {
        NSBezierPath::rect(CGRect{b.minX() + 4, b.midY() - 5 + 4.0 * line, b.width() - 8, 1.5})->fill();
    }
}

void MenuButton::mouseDown(const NSEvent&) {
    if (window_) window_->showMenu();
}

// The title bar.

void TitleBarView::draw(const CGRect&) {
    if (!window_) return;
    CGRect b = bounds();
    if (!window_->titlebarAppearsTransparent()) {
        fill(b, chromeColor());
        if (!window_->toolbar() || !window_->toolbar()->isVisible()) fill(CGRect{0, 0, b.width(), 1}, separatorLine());
    }
    if (window_->titleVisibility() == NSWindow::TitleVisibility::visible && !window_->title().empty()) {
        drawCentred(text(window_->title(), 13, true), b);
    }
}

// The toolbar band.

void ToolbarView::draw(const CGRect&) {
    CGRect b = bounds();
    fill(b, chromeColor());
    fill(CGRect{0, 0, b.width(), 1}, separatorLine());
}

void ToolbarView::show(const std::shared_ptr<NSToolbar>& toolbar) {
    for (auto& view : std::vector<std::shared_ptr<NSView>>(subviews())) view->removeFromSuperview();
    if (!toolbar) return;
    struct Slot {
        std::shared_ptr<NSView> view;
        CGSize size;
        bool flexible;
    };
    std::vector<Slot> slots;
    CGFloat used = toolbarSpacing;
    int flexibleCount = 0;
    for (const auto& item : toolbar->items()) {
        if (item->itemIdentifier() == NSToolbarItem::flexibleSpace) {
            slots.push_back({nullptr, {}, true});
            ++flexibleCount;
            continue;
        }
        if (item->itemIdentifier() == NSToolbarItem::space) {
            slots.push_back({nullptr, {toolbarSpacing, 0}, false});
            used += toolbarSpacing + toolbarSpacing;
            continue;
        }
        auto view = item->itemView();
        if (!view) continue;
        CGSize size = view->frame().size;
        if (auto button = std::dynamic_pointer_cast<ToolbarItemButton>(view)) size = button->fittingSize();
        if (size.width <= 0 || size.height <= 0) size = CGSize{std::max<CGFloat>(size.width, 80), std::max<CGFloat>(size.height, 24)};
        size.height = std::min(size.height, NSWindow::toolbarHeight - 4);
        slots.push_back({view, size, false});
        used += size.width + toolbarSpacing;
    }
    CGFloat spare = std::max<CGFloat>(0, bounds().width() - used);
    CGFloat x = toolbarSpacing;
    for (const auto& slot : slots) {
        if (slot.flexible) {
            x += spare / flexibleCount;
            continue;
        }
        if (!slot.view) {
            x += slot.size.width + toolbarSpacing;
            continue;
        }
        CGFloat y = std::round((bounds().height() - slot.size.height) / 2);
        addSubview(slot.view);
        slot.view->setFrame(CGRect{x, y, slot.size.width, slot.size.height});
        x += slot.size.width + toolbarSpacing;
    }
}

// Toolbar buttons.

CGSize ToolbarItemButton::fittingSize() const {
    auto item = item_.lock();
    if (!item) return {};
    if (item->image()) return {std::max<CGFloat>(32, std::ceil(item->image()->size().width) + 14), toolbarItemHeight};
    return {std::ceil(text(item->label(), 12).size().width) + 20, toolbarItemHeight};
}

void ToolbarItemButton::draw(const CGRect&) {
    auto item = item_.lock();
    if (!item) return;
    CGRect b = bounds();
    if (item->isBordered() || pressed_) {
        auto shape = NSBezierPath::roundedRect(CGRect{b.minX() + 0.5, b.minY() + 0.5, b.width() - 1, b.height() - 1}, 6, 6);
        CGColor face = drawingDark() ? CGColor::gray(pressed_ ? 0.45 : 0.33) : CGColor::gray(pressed_ ? 0.80 : 0.99);
        NSColor::fromCGColor(face)->setFill();
        shape->fill();
        if (item->isBordered()) {
            NSColor::fromCGColor(drawingDark() ? CGColor::gray(0.45) : CGColor::gray(0.72))->setStroke();
            shape->setLineWidth(1);
            shape->stroke();
        }
    }
    if (auto image = item->image()) {
        CGSize size = image->size();
        CGFloat scale = std::min<CGFloat>(1, std::min(18 / std::max<CGFloat>(size.width, 1), 18 / std::max<CGFloat>(size.height, 1)));
        CGSize drawn{size.width * scale, size.height * scale};
        image->draw(CGRect{std::round(b.midX() - drawn.width / 2), std::round(b.midY() - drawn.height / 2), drawn.width, drawn.height},
                    CGRect::zero(), NSCompositingOperation::sourceOver, item->isEnabled() ? 1.0 : 0.4);
    } else {
        drawCentred(text(item->label(), 12), b);
    }
}

void ToolbarItemButton::mouseDown(const NSEvent&) {
    auto item = item_.lock();
    if (!item || !item->isEnabled()) return;
    pressed_ = true;
    setNeedsDisplay();
}

void ToolbarItemButton::mouseUp(const NSEvent& event) {
    bool wasPressed = pressed_;
    pressed_ = false;
    setNeedsDisplay();
    auto item = item_.lock();
    if (!wasPressed || !item || !bounds().contains(convert(event.locationInWindow, nullptr))) return;
    item->performAction();
}

// The menu panel.

CGRect MenuPanel::panelRect() const {
    CGFloat width = 160;
    CGFloat height = 2 * menuPadding;
    for (const auto& item : items_) {
        if (item->isSeparatorItem()) {
            height += menuSeparatorHeight;
        } else {
            width = std::max(width, std::ceil(text(item->title(), 13).size().width) + 40);
            height += menuRowHeight;
        }
    }
    CGRect b = bounds();
    width = std::min(width, b.width() - 8);
    CGFloat top = b.maxY() - NSWindow::titleBarHeight;
    return CGRect{b.maxX() - width - 4, top - height, width, height};
}

CGRect MenuPanel::itemRect(std::size_t index) const {
    CGRect panel = panelRect();
    CGFloat top = panel.maxY() - menuPadding;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        CGFloat h = items_[i]->isSeparatorItem() ? menuSeparatorHeight : menuRowHeight;
        if (i == index) return CGRect{panel.minX() + menuPadding, top - h, panel.width() - 2 * menuPadding, h};
        top -= h;
    }
    return CGRect::zero();
}

std::shared_ptr<NSMenuItem> MenuPanel::itemAt(CGPoint point) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i]->isSeparatorItem() && itemRect(i).contains(point)) return items_[i];
    }
    return nullptr;
}

void MenuPanel::draw(const CGRect&) {
    CGRect panel = panelRect();
    auto shape = NSBezierPath::roundedRect(panel, 6, 6);
    NSColor::fromCGColor(drawingDark() ? CGColor::gray(0.17) : CGColor::gray(0.985))->setFill();
    shape->fill();
    NSColor::fromCGColor(drawingDark() ? CGColor::gray(0.4) : CGColor::gray(0.7))->setStroke();
    shape->setLineWidth(1);
    shape->stroke();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        CGRect row = itemRect(i);
        if (items_[i]->isSeparatorItem()) {
            fill(CGRect{row.minX() + 6, std::round(row.midY()), row.width() - 12, 1}, separatorLine());
            continue;
        }
        if (items_[i] == pressed_) {
            NSColor::controlAccentColor()->setFill();
            NSBezierPath::roundedRect(row, 4, 4)->fill();
        }
        auto title = text(items_[i]->title(), 13);
        CGSize size = title.size();
        title.draw(CGPoint{row.minX() + 12, std::round(row.midY() - size.height / 2)});
    }
}

void MenuPanel::mouseDown(const NSEvent& event) {
    CGPoint point = convert(event.locationInWindow, nullptr);
    if (!panelRect().contains(point)) {
        if (auto frame = std::dynamic_pointer_cast<WindowFrameView>(superview())) frame->closeMenu();
        return;
    }
    auto item = itemAt(point);
    pressed_ = item && item->isEnabled() ? item : nullptr;
    setNeedsDisplay();
}

void MenuPanel::mouseUp(const NSEvent& event) {
    auto pressed = std::move(pressed_);
    pressed_.reset();
    if (!pressed || itemAt(convert(event.locationInWindow, nullptr)) != pressed) {
        setNeedsDisplay();
        return;
    }
    // The panel goes first; the command may open windows of its own.
    if (auto frame = std::dynamic_pointer_cast<WindowFrameView>(superview())) frame->closeMenu();
    pressed->performAction();
}

// The frame.

WindowFrameView::WindowFrameView(NSWindow* owner) : window(owner) {}

void WindowFrameView::build() {
    titleBar = std::make_shared<TitleBarView>(window);
    toolbarBand = std::make_shared<ToolbarView>(window);
    closeButton = std::make_shared<WindowButton>(window, NSWindow::ButtonType::closeButton);
    miniaturizeButton = std::make_shared<WindowButton>(window, NSWindow::ButtonType::miniaturizeButton);
    zoomButton = std::make_shared<WindowButton>(window, NSWindow::ButtonType::zoomButton);
    menuButton = std::make_shared<MenuButton>(window);
    auto style = window->styleMask();
    closeButton->setHidden(!style.contains(NSWindow::StyleMask::closable()));
    miniaturizeButton->setHidden(!style.contains(NSWindow::StyleMask::miniaturizable()));
    zoomButton->setHidden(!style.contains(NSWindow::StyleMask::resizable()));
    for (const auto& button : {closeButton, miniaturizeButton, zoomButton}) titleBar->addSubview(button);
    titleBar->addSubview(menuButton);
    addSubview(toolbarBand);
    addSubview(titleBar);
}

void WindowFrameView::draw(const CGRect&) {
    auto color = window ? window->backgroundColor() : nullptr;
    if (!color) color = NSColor::windowBackgroundColor();
    color->setFill();
    NSBezierPath::rect(bounds())->fill();
}

NSResponder* WindowFrameView::nextResponder() const {
    if (auto* next = NSResponder::nextResponder()) return next;
    return window;
}

void WindowFrameView::place() {
    if (!window) return;
    CGRect frame = window->frame();
    setFrame(CGRect{0, 0, frame.width(), frame.height()});
    bool titled = window->styleMask().contains(NSWindow::StyleMask::titled());
    bool hasToolbar = titled && window->toolbar() && window->toolbar()->isVisible();
    CGFloat w = frame.width(), h = frame.height();

    titleBar->setHidden(!titled);
    titleBar->setFrame(CGRect{0, h - NSWindow::titleBarHeight, w, NSWindow::titleBarHeight});
    CGFloat buttonY = std::round((NSWindow::titleBarHeight - buttonDiameter) / 2);
    closeButton->setFrame(CGRect{9, buttonY, buttonDiameter, buttonDiameter});
    miniaturizeButton->setFrame(CGRect{29, buttonY, buttonDiameter, buttonDiameter});
    zoomButton->setFrame(CGRect{49, buttonY, buttonDiameter, buttonDiameter});
    auto menu = NSApplication::shared().mainMenu();
    menuButton->setHidden(!menu || menu->flattenedItems().empty() || window->titlebarAppearsTransparent());
    menuButton->setFrame(CGRect{w - 30, std::round((NSWindow::titleBarHeight - 18) / 2), 22, 18});

    toolbarBand->setHidden(!hasToolbar);
    CGRect band{0, h - NSWindow::titleBarHeight - NSWindow::toolbarHeight, w, NSWindow::toolbarHeight};
    if (band.width() != toolbarBand->frame().width() || band != toolbarBand->frame()) {
        toolbarBand->setFrame(band);
        if (hasToolbar) toolbarBand->show(window->toolbar());
    }
    if (auto view = content.lock()) {
        CGRect inner = window->contentRect(frame);
        view->setFrame(CGRect{0, 0, inner.width(), inner.height()});
    }
    if (menuPanel) menuPanel->setFrame(bounds());
}

void WindowFrameView::setContent(const std::shared_ptr<NSView>& view) {
    if (auto old = content.lock()) old->removeFromSuperview();
    content = view;
    if (view) addSubview(view, Ordering::below, nullptr);
    place();
}

void WindowFrameView::showToolbar(const std::shared_ptr<NSToolbar>& toolbar) {
    toolbarBand->show(toolbar);
    place();
}

void WindowFrameView::openMenu(std::vector<std::shared_ptr<NSMenuItem>> items) {
    closeMenu();
    menuPanel = std::make_shared<MenuPanel>(window, std::move(items));
    addSubview(menuPanel);
    menuPanel->setFrame(bounds());
    setNeedsDisplay();
}

void WindowFrameView::closeMenu() {
    if (!menuPanel) return;
    menuPanel->removeFromSuperview();
    menuPanel.reset();
    setNeedsDisplay();
}

void WindowFrameView::detach() {
    window = nullptr;
    if (!titleBar) return;
    titleBar->window_ = nullptr;
    toolbarBand->window_ = nullptr;
    for (const auto& button : {closeButton, miniaturizeButton, zoomButton}) button->window_ = nullptr;
    menuButton->window_ = nullptr;
    if (menuPanel) menuPanel->window_ = nullptr;
}
