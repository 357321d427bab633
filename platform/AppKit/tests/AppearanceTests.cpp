#include <gtest/gtest.h>

#include <cstdlib>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/backends/SettingsPortal.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "AppKitTestSupport.hpp"
#include "Testing/PrivateBus.hpp"

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

// The desktop's preferences, from a stand-in settings portal on a private session bus.
namespace {
constexpr const char* portal = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* settings = "org.freedesktop.portal.Settings";

class DesktopAppearance : public AppKitTest {
protected:
    void SetUp() override {
        AppKitTest::SetUp();
        ::unsetenv("QUILLON_APPEARANCE");
        ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        bus = std::make_unique<PrivateSessionBus>();
        if (!bus->unavailable().empty()) GTEST_SKIP() << bus->unavailable();
    }
    void TearDown() override {
        following.reset();
        bus.reset();
        NSApplication::shared().setDesktopAppearance(nullptr);
        NSApplication::shared().setAccentColor(std::nullopt);
        ::unsetenv("QUILLON_APPEARANCE");
        ::unsetenv("XDG_CONFIG_HOME");
        AppKitTest::TearDown();
    }
    /// A portal whose `method` answers every appearance key; `levels` variants around each value.
    void startPortal(const std::string& method, int levels, int scheme = 1) {
        bus->startObjectMock(portal, portalPath, settings);
        answer(method, levels, scheme);
    }
    /// The portal's `method` answers the colour scheme `scheme` from now on.
    void answer(const std::string& method, int levels, int scheme) {
        std::string level = std::to_string(levels);
        bus->addMethod(portal, portalPath, settings, method, "ss", "v",
                       "if args[1] == 'color-scheme':\n"
                       "    ret = dbus.UInt32(" + std::to_string(scheme) + ", variant_level=" + level + ")\n"
                       "else:\n"
                       "    ret = dbus.Struct((0.2, 0.4, 0.6), signature='ddd', variant_level=" + level + ")\n");
    }
    /// The desktop's colour scheme changes: the portal answers it and tells of it, as a portal does.
    void schemeChanged(int scheme) {
        answer("ReadOne", 1, scheme);
        settingChanged("color-scheme", sdbus::Variant(std::uint32_t(scheme)));
    }
    void settingChanged(const std::string& key, const sdbus::Variant& value) {
        bus->proxy(portal, portalPath)
            ->callMethod("EmitSignal")
            .onInterface("org.freedesktop.DBus.Mock")
            .withArguments(std::string(settings), std::string("SettingChanged"), std::string("ssv"),
                           std::vector<sdbus::Variant>{sdbus::Variant(std::string("org.freedesktop.appearance")),
                                                       sdbus::Variant(key), sdbus::Variant(value)});
    }
    static std::string appearance() { return NSApplication::shared().effectiveAppearance()->name(); }

    TemporaryDirectory config;
    std::unique_ptr<PrivateSessionBus> bus;
    std::unique_ptr<SettingsPortal> following;
};
}  // namespace

TEST_F(DesktopAppearance, ThePortalsSchemeAndAccentAreFollowedWhileRunning) {
    startPortal("ReadOne", 1);
    auto window = NSWindow::make({0, 0, 200, 100}, NSWindow::StyleMask::titled());
    auto watcher = Watcher::make();
    window->contentView()->addSubview(watcher);
    following = NSApplication::shared().followDesktopPreferences();
    ASSERT_TRUE(following);
    ASSERT_TRUE(RunLoop::main().runUntil([] { return NSApplication::shared().accentColor() && appearance() == NSAppearanceNameDarkAqua; }, 15));
    EXPECT_EQ(watcher->changes, 1);
    EXPECT_EQ(NSColor::controlAccentColor()->cgColor(), (CGColor{0.2, 0.4, 0.6, 1}));
    EXPECT_EQ(NSColor::controlAccentColor()->withAlphaComponent(0.5)->cgColor(), (CGColor{0.2, 0.4, 0.6, 0.5}));

    schemeChanged(2);
    ASSERT_TRUE(RunLoop::main().runUntil([] { return appearance() == NSAppearanceNameAqua; }, 15));
    EXPECT_EQ(watcher->changes, 2);  // told once, in the new appearance
    EXPECT_EQ(watcher->drawingAppearance, NSAppearanceNameAqua);

    // Another client that tells this process alone of a dark desktop is not heard.
    auto stranger = sdbus::createObject(bus->connection(), portalPath);
    auto toUsAlone = stranger->createSignal(settings, "SettingChanged");
    toUsAlone.setDestination(bus->listener("member='SettingChanged'"));
    toUsAlone << std::string("org.freedesktop.appearance") << std::string("color-scheme") << sdbus::Variant(std::uint32_t(1));
    stranger->emitSignal(toUsAlone);

    // An accent out of range is no accent: the platform's own blue again.
    settingChanged("accent-color", sdbus::Variant(sdbus::Struct<double, double, double>(1.5, 0, 0)));
    ASSERT_TRUE(RunLoop::main().runUntil([] { return !NSApplication::shared().accentColor(); }, 15));
    EXPECT_EQ(NSColor::controlAccentColor()->cgColor(), (CGColor{0, 120 / 255.0, 250 / 255.0, 1}));
    EXPECT_EQ(appearance(), NSAppearanceNameAqua);

    // The user's explicit choice wins over the desktop's.
    ::setenv("QUILLON_APPEARANCE", "dark", 1);
    EXPECT_EQ(appearance(), NSAppearanceNameDarkAqua);
}

TEST_F(DesktopAppearance, APortalOrSessionBusThatStartsLaterOrAgainIsFollowed) {
    // The portal starts after the application, which found none: it is read once it is there.
    following = NSApplication::shared().followDesktopPreferences();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return bus->listensFor("member='SettingChanged'"); }, 15));
    RunLoop::main().runUntil([] { return false; }, 0.5);  // the keys asked of nobody meanwhile
    startPortal("ReadOne", 1);
    ASSERT_TRUE(RunLoop::main().runUntil([] { return appearance() == NSAppearanceNameDarkAqua; }, 15));

    // The portal starts again, the desktop light by then: it is read again.
    bus->stopMock(portal);
    startPortal("ReadOne", 1, 2);
    ASSERT_TRUE(RunLoop::main().runUntil([] { return appearance() == NSAppearanceNameAqua; }, 15));

    // The session bus starts again, at its address: the portal on it is read and its changes are
    // heard.
    bus->restart();
    startPortal("ReadOne", 1, 1);
    ASSERT_TRUE(RunLoop::main().runUntil([] { return appearance() == NSAppearanceNameDarkAqua; }, 15));
    schemeChanged(2);
    ASSERT_TRUE(RunLoop::main().runUntil([] { return appearance() == NSAppearanceNameAqua; }, 15));
}

TEST_F(DesktopAppearance, OlderPortalsAnswerThroughRead) {
    startPortal("Read", 2);
    following = NSApplication::shared().followDesktopPreferences();
    const SettingsPortal::Preferences told{true, CGColor{0.2, 0.4, 0.6, 1}};
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return following->preferences() == told; }, 15));
    EXPECT_EQ(bus->calls(portal, portalPath, "Read").size(), 2u);
}

// The portal is asked without waiting: until it answers, the settings files or light decide.
TEST_F(DesktopAppearance, APortalThatIsSlowToAnswerHoldsNothingUp) {
    // A portal of the test's own, which answers only once the test dispatches its connection.
    auto slowBus = sdbus::createSessionBusConnection(portal);
    auto object = sdbus::createObject(*slowBus, portalPath);
    object->registerMethod("ReadOne").onInterface(settings).implementedAs([](const std::string&, const std::string& key) {
        if (key != "color-scheme") throw sdbus::Error("org.freedesktop.portal.Error.NotFound", "no such key");
        return sdbus::Variant(std::uint32_t(1));
    });
    object->finishRegistration();

    following = NSApplication::shared().followDesktopPreferences();
    ASSERT_TRUE(following);
    bool turned = false;
    DispatchQueue::main().async([&] { turned = true; });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return turned; }, 15));
    EXPECT_EQ(appearance(), NSAppearanceNameAqua);

    slowBus->enterEventLoopAsync();
    EXPECT_TRUE(RunLoop::main().runUntil([] { return appearance() == NSAppearanceNameDarkAqua; }, 15));
    slowBus->leaveEventLoop();
}

TEST_F(DesktopAppearance, WithoutAPortalTheGtkSettingsDecideThenLight) {
    following = NSApplication::shared().followDesktopPreferences();
    EXPECT_EQ(appearance(), NSAppearanceNameAqua);
    config.write("gtk-3.0/settings.ini", "[Settings]\ngtk-theme-name=Adwaita-dark\n");
    following = NSApplication::shared().followDesktopPreferences();
    EXPECT_EQ(appearance(), NSAppearanceNameDarkAqua);
    config.write("gtk-3.0/settings.ini", "[Settings]\ngtk-theme-name=Adwaita\ngtk-application-prefer-dark-theme=1\n");
    following = NSApplication::shared().followDesktopPreferences();
    EXPECT_EQ(appearance(), NSAppearanceNameDarkAqua);
}
