#include <gtest/gtest.h>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKitTestSupport.hpp"

namespace {
class Watcher : public NSView {
public:
    using NSView::NSView;
    static std::shared_ptr<Watcher> make() { return std::make_shared<Watcher>(); }
    void viewDidChangeEffectiveAppearance() override {
        ++changes;
        drawingAppearance = NSAppearance::currentDrawing()->name();
    }
    int changes = 0;
    std::string drawingAppearance;
};

auto dark() { return NSAppearance::named(NSAppearanceNameDarkAqua); }
auto aqua() { return NSAppearance::named(NSAppearanceNameAqua); }
}  // namespace

using Appearance = AppKitTest;

TEST_F(Appearance, KnownNamesOnlyAndOneObjectEach) {
    EXPECT_EQ(NSAppearance::named(NSAppearanceNameVibrantDark)->name(), "NSAppearanceNameVibrantDark");
    EXPECT_EQ(NSAppearance::named(NSAppearanceNameAqua), aqua());
    EXPECT_FALSE(NSAppearance::named("NSAppearanceNameMidnight"));
    EXPECT_EQ(NSApplication::shared().effectiveAppearance(), aqua());  // the system's default
}

TEST_F(Appearance, CurrentDrawingAppearanceFollowsTheApplicationUnlessSet) {
    NSApplication::shared().setSystemAppearance(dark());
    EXPECT_EQ(NSAppearance::currentDrawing(), dark());
    NSApplication::shared().setAppearance(aqua());  // the application's own choice wins
    EXPECT_EQ(NSAppearance::currentDrawing(), aqua());

    dark()->performAsCurrentDrawingAppearance([] { EXPECT_EQ(NSAppearance::currentDrawing(), dark()); });
    EXPECT_EQ(NSAppearance::current(), aqua());
    NSAppearance::setCurrent(dark());
    EXPECT_EQ(NSAppearance::currentDrawing(), dark());
}

TEST_F(Appearance, EffectiveAppearanceComesThroughViewWindowAndApplication) {
    auto window = NSWindow::make({0, 0, 200, 100}, NSWindow::StyleMask::titled());
    auto parent = NSView::make(), child = NSView::make();
    parent->addSubview(child);
    window->contentView()->addSubview(parent);
    EXPECT_EQ(child->effectiveAppearance(), aqua());

    NSApplication::shared().setAppearance(dark());
    EXPECT_EQ(child->effectiveAppearance(), dark());
    window->setAppearance(aqua());
    EXPECT_EQ(child->effectiveAppearance(), aqua());
    parent->setAppearance(NSAppearance::named(NSAppearanceNameAccessibilityHighContrastDarkAqua));
    EXPECT_EQ(child->effectiveAppearance()->name(), NSAppearanceNameAccessibilityHighContrastDarkAqua);
    EXPECT_EQ(window->contentView()->effectiveAppearance(), aqua());
}

TEST_F(Appearance, ViewsHearOfChangesOnceAndOnlyWhenTheirAppearanceChanges) {
    auto window = NSWindow::make({0, 0, 200, 100}, NSWindow::StyleMask::titled());
    auto watcher = Watcher::make();
    auto inner = Watcher::make();
    watcher->addSubview(inner);
    window->contentView()->addSubview(watcher);
    EXPECT_EQ(watcher->changes, 0);  // same appearance as before

    NSApplication::shared().setSystemAppearance(dark());
    EXPECT_EQ(watcher->changes, 1);
    EXPECT_EQ(inner->changes, 1);
    EXPECT_EQ(watcher->drawingAppearance, NSAppearanceNameDarkAqua);  // told inside its appearance

    NSApplication::shared().setAppearance(dark());  // effectively the same
    window->setAppearance(dark());
    EXPECT_EQ(watcher->changes, 1);

    inner->setAppearance(aqua());
    EXPECT_EQ(inner->changes, 2);
    EXPECT_EQ(watcher->changes, 1);

    watcher->removeFromSuperview();  // back to the application's appearance: dark, unchanged
    EXPECT_EQ(watcher->changes, 1);
    NSApplication::shared().setAppearance(nullptr);
    NSApplication::shared().setSystemAppearance(nullptr);
    window->setAppearance(nullptr);
    EXPECT_EQ(watcher->changes, 1);  // no longer in a window: not told
    window->contentView()->addSubview(watcher);
    EXPECT_EQ(watcher->changes, 2);  // it sees light once it is back in the tree
}

TEST_F(Appearance, SystemColoursResolveInTheCurrentDrawingAppearance) {
    auto separator = NSColor::separatorColor();
    EXPECT_EQ(separator, NSColor::separatorColor());  // one object
    EXPECT_TRUE(separator->isDynamic());
    EXPECT_EQ(separator->name(), "separatorColor");
    CGColor light = separator->cgColor();
    CGColor darkValue;
    dark()->performAsCurrentDrawingAppearance([&] { darkValue = separator->cgColor(); });
    EXPECT_NE(light, darkValue);

    auto faint = separator->withAlphaComponent(0.5);  // still follows the appearance
    EXPECT_EQ(faint->alphaComponent(), 0.5);
    dark()->performAsCurrentDrawingAppearance([&] { EXPECT_EQ(faint->redComponent(), darkValue.red); });

    auto fixed = separator->usingColorSpace(NSColorSpace::deviceRGB);  // resolved now
    dark()->performAsCurrentDrawingAppearance([&] { EXPECT_EQ(fixed->cgColor(), light); });
    EXPECT_EQ(fixed->colorSpace(), NSColorSpace::deviceRGB);
}

TEST_F(Appearance, ComponentColours) {
    auto color = NSColor::make(1, 0.5, 0.25, 0.8);
    EXPECT_EQ(color->cgColor(), (CGColor{1, 0.5, 0.25, 0.8}));
    EXPECT_FALSE(color->isDynamic());
    EXPECT_EQ(color->withAlphaComponent(0.1)->cgColor(), (CGColor{1, 0.5, 0.25, 0.1}));
    EXPECT_EQ(color->cgColor().alpha, 0.8);  // the original is unchanged
    EXPECT_EQ(NSColor::white(0.5)->cgColor(), CGColor::gray(0.5));
    EXPECT_EQ(NSColor::calibrated(0, 0, 0)->colorSpace(), NSColorSpace::genericRGB);
}
