// Writes pictures of the layer-drawn buttons and check boxes into a folder, so that a person can
// look at them: controls-light.png and controls-dark.png show every kind in a window, in its usual,
// hovered, selected or on, and disabled looks.
#include <filesystem>
#include <string>

#include "AppKit/NSScreen.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSWindow.hpp"
#include "SampleSupport.hpp"
#include "ZododuvoZoz/Controls/CheckBox.hpp"
#include "ZododuvoZoz/Controls/ColorButton.hpp"
#include "ZododuvoZoz/Controls/GradientButton.hpp"
#include "ZododuvoZoz/Controls/HierarchicalButton.hpp"
#include "ZododuvoZoz/Controls/HoverButton.hpp"
#include "ZododuvoZoz/Controls/LinkButton.hpp"
#include "ZododuvoZoz/Controls/RoundButton.hpp"
#include "ZododuvoZoz/Controls/ToggleButton.hpp"
#include "ZododuvoZoz/Controls/ToolbarButton.hpp"
#include "ZododuvoZoz/ImageExtensions.hpp"

using namespace ZododuvoZoz;

namespace {
constexpr CGFloat rowHeight = 56;
constexpr CGFloat labelWidth = 110;
constexpr CGFloat width = 720;
constexpr int rows = 7;

// Places views from left to right on one row of the window's content, under a label.
class Row {
public:
    Row(NSView& content, int index, const std::string& name) : content_(content), y_(rows * rowHeight - (index + 1) * rowHeight + 14) {
        auto label = NSTextField::labelWithString(name);
        label->setFrameOrigin({16, y_ + 6});
        content_.addSubview(label);
    }
    template <class View>
    std::shared_ptr<View> add(const std::shared_ptr<View>& view, CGSize size, CGFloat gap = 12) {
        view->setFrame({x_, y_ + (28 - size.height) / 2, size.width, size.height});
        content_.addSubview(view);
        x_ += size.width + gap;
        return view;
    }

private:
    NSView& content_;
    CGFloat y_;
    CGFloat x_ = labelWidth + 16;
};

template <class Button>
std::shared_ptr<Button> titled(std::shared_ptr<Button> button, const std::string& title) {
    button->setTitle(title);
    button->setup();
    return button;
}

void enter(NSView& view) { view.mouseEntered(NSEvent{}); }

std::shared_ptr<NSWindow> scene() {
    auto window = NSWindow::make({100, 100, width, rows * rowHeight}, NSWindow::StyleMask::titled() | NSWindow::StyleMask::closable());
    window->setTitle("Controls");
    auto& content = *window->contentView();

    Row color(content, 0, "ColorButton");
    color.add(titled(ColorButton::make(), "Outline"), {110, 32});
    auto filled = color.add(ColorButton::make(), {110, 32});
    filled->setTextColor(NSColor::whiteColor());
    filled->setFill(true);
    titled(filled, "Filled");
    auto thin = color.add(ColorButton::make(), {110, 32});
    thin->setColor(NSColor::systemPinkColor());
    thin->setLineWidth(2);
    thin->setCornerRadius(16);
    titled(thin, "Thin, round");
    auto offColor = color.add(ColorButton::make(), {110, 32});
    offColor->setEnabled(false);
    titled(offColor, "Disabled");

    Row gradient(content, 1, "GradientButton");
    gradient.add(titled(GradientButton::make(), "Continue"), {140, 36});
    auto warm = gradient.add(GradientButton::make(), {140, 36});
    warm->setColors({NSColor::systemPinkColor(), NSColor::systemOrangeColor(), NSColor::systemYellowColor()});
    titled(warm, "Three colours");
    auto offGradient = gradient.add(GradientButton::make(), {140, 36});
    offGradient->setEnabled(false);
    titled(offGradient, "Disabled");

    Row soft(content, 2, "Hierarchical");
    soft.add(titled(HierarchicalButton::make(), "Soft"), {90, 28});
    auto green = soft.add(HierarchicalButton::make(), {90, 28});
    green->setColor(NSColor::systemGreenColor());
    titled(green, "Green");
    auto pill = soft.add(HierarchicalButton::make(), {110, 28});
    pill->setRound(true);
    titled(pill, "Round pill");
    auto icon = soft.add(HierarchicalButton::make(), {40, 28});
    icon->setImage(NSImage::systemSymbol("gearshape"));
    titled(icon, "");
    auto roundIcon = soft.add(HierarchicalButton::make(), {28, 28});
    roundIcon->setColor(NSColor::systemRedColor());
    roundIcon->setImage(NSImage::systemSymbol("trash"));
    roundIcon->setRound(true);
    titled(roundIcon, "");

    Row round(content, 3, "RoundButton");
    round.add(titled(RoundButton::make(), "Install"), {100, 30});
    auto red = round.add(RoundButton::make(), {100, 30});
    red->setColor(NSColor::systemRedColor());
    titled(red, "Delete");
    auto picture = round.add(RoundButton::make(), {44, 44});
    picture->setCustomImage(ZododuvoZoz::tinted(NSImage::systemSymbol("star.fill"), NSColor::whiteColor()));
    titled(picture, "");

    Row hover(content, 4, "Hover / Link");
    hover.add(titled(HoverButton::make(), "Plain"), {90, 28});
    auto hovered = hover.add(HoverButton::make(), {90, 28});
    enter(*hovered);
    titled(hovered, "Hovered");
    auto shown = hover.add(HoverButton::make(), {110, 28});
    shown->setAlwaysShowBackground(true);
    titled(shown, "Background");
    auto offHover = hover.add(HoverButton::make(), {90, 28});
    offHover->setEnabled(false);
    titled(offHover, "Disabled");
    auto link = hover.add(LinkButton::make(), {110, 28});
    link->setTitle("Visit website");
    link->setBordered(false);

    Row toggle(content, 5, "ToggleButton");
    auto wifi = NSImage::systemSymbol("wifi");
    auto makeToggle = [&] {
        auto button = toggle.add(ToggleButton::make(), {100, 28}, 8);
        button->setIcon(wifi);
        button->setIconSize({16, 16});
        return button;
    };
    titled(makeToggle(), "Off");
    auto on = makeToggle();
    on->setOn(true);
    titled(on, "On");
    auto hoverToggle = makeToggle();
    enter(*hoverToggle);
    titled(hoverToggle, "Hovered");
    auto always = makeToggle();
    always->setAlwaysShowBackground(true);
    enter(*always);
    titled(always, "Shown");
    auto offToggle = makeToggle();
    offToggle->setEnabled(false);
    titled(offToggle, "Disabled");

    Row bar(content, 6, "Toolbar / Box");
    bar.add(ToolbarButton::make(), {32, 32}, 6)->setCustomImage(NSImage::systemSymbol("gearshape"));
    auto hot = bar.add(ToolbarButton::make(), {32, 32}, 6);
    hot->setCustomImage(NSImage::systemSymbol("folder"));
    enter(*hot);
    hot->setup();
    auto selected = bar.add(ToolbarButton::make(), {32, 32}, 6);
    selected->setCustomImage(NSImage::systemSymbol("star.fill"));
    selected->setSelected(true);
    auto tinted = bar.add(ToolbarButton::make(), {32, 32}, 24);
    tinted->setCustomImage(NSImage::systemSymbol("trash"));
    tinted->setCustomColor(NSColor::systemRedColor());
    tinted->setPointSize(18);
    tinted->setSelected(true);
    // Check boxes made without a size draw for the size the row gives them.
    bar.add(CheckBox::make(), {20, 20});
    bar.add(CheckBox::make(), {20, 20})->setState(NSControl::StateValue::off());
    bar.add(CheckBox::make(), {20, 20})->setState(NSControl::StateValue::on());
    bar.add(CheckBox::make(), {32, 32})->setState(NSControl::StateValue::on());
    return window;
}

bool write(const std::filesystem::path& file) {
    auto window = scene();
    window->layoutIfNeeded();
    bool ok = Samples::writeImage(window->image(2.0), file);
    window->close();
    return ok;
}
}  // namespace

int main(int argc, char** argv) {
    auto folder = Samples::outputFolder(argc, argv);
    // Layer contents drawn for a screen of two pixels a point, as the pictures are.
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1440, 900}, 2));
    bool ok = true;
    Samples::inEachAppearance([&](const std::string& name) { ok &= write(folder / ("controls-" + name + ".png")); });
    return ok ? 0 : 1;
}
