#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "AppKit/NSAlert.hpp"
#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "AppKit/NSWindowController.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "RarAvi/Alert.hpp"
#include "RarAvi/ApplicationExtensions.hpp"
#include "RarAvi/BezierPathExtensions.hpp"
#include "RarAvi/ColorExtensions.hpp"
#include "RarAvi/ImageExtensions.hpp"
#include "RarAvi/MenuItemExtensions.hpp"
#include "RarAvi/StoryboardExtensions.hpp"
#include "RarAvi/WindowExtensions.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RarAvi;

namespace {
class Helpers : public VirtualTimeTest {
protected:
    void TearDown() override {
        NSAlert::setResponder(nullptr);
        NSAppearance::setCurrent(nullptr);
        VirtualTimeTest::TearDown();
    }
};

// An image of the size with its upper half red.
std::shared_ptr<NSImage> halfRed(CGSize size) {
    auto image = NSImage::make(size);
    image->lockFocus();
    NSColor::make(1, 0, 0)->set();
    NSRectFill({0, size.height / 2, size.width, size.height / 2});
    image->unlockFocus();
    return image;
}
}  // namespace

TEST_F(Helpers, ColoursFromBytesAndInverted) {
    auto orange = rgb(255, 128, 0);
    EXPECT_EQ(orange->redComponent(), 1.0);
    EXPECT_NEAR(orange->greenComponent(), 0.50196, 1e-5);
    EXPECT_EQ(orange->blueComponent(), 0.0);
    EXPECT_EQ(orange->alphaComponent(), 1.0);
    EXPECT_EQ(rgb(0, 0, 0, 0.3)->alphaComponent(), 0.3);

    EXPECT_EQ(inverted(*NSColor::whiteColor())->cgColor(), CGColor::black());
    auto half = inverted(*NSColor::make(0.25, 0.5, 1, 0.5));
    EXPECT_EQ(half->cgColor(), (CGColor{0.75, 0.5, 0, 0.5}));
    EXPECT_EQ(half->colorSpace(), NSColorSpace::genericRGB);

    auto random = randomColor();
    EXPECT_EQ(random->alphaComponent(), 1.0);
    EXPECT_EQ(std::fmod(random->redComponent() * 255, 1.0), 0.0);  // whole steps of 1/255
}

TEST_F(Helpers, DarkModeOfTheApplication) {
    for (const auto& name : {NSAppearanceNameDarkAqua, NSAppearanceNameAccessibilityHighContrastDarkAqua,
                             NSAppearanceNameAccessibilityHighContrastVibrantDark}) {
        NSAppearance::named(name)->performAsCurrentDrawingAppearance([] { EXPECT_TRUE(isDarkMode()); });
    }
    NSAppearance::named(NSAppearanceNameAccessibilityHighContrastAqua)->performAsCurrentDrawingAppearance([] {
        EXPECT_FALSE(isDarkMode());
    });
    EXPECT_FALSE(isDarkMode());
    ProcessInfo::processInfo().setOperatingSystemVersion(OperatingSystemVersion{11, 5, 0});
    NSAppearance::setCurrent(NSAppearance::named(NSAppearanceNameDarkAqua));
    EXPECT_TRUE(isDarkMode());
}

TEST_F(Helpers, WindowsMenusAndPaths) {
    auto borderless = NSWindow::make({0, 0, 200, 100}, NSWindow::StyleMask::borderless());
    EXPECT_EQ(titleBarHeight(*borderless), 0);
    auto titled = NSWindow::make({0, 0, 200, 100}, NSWindow::StyleMask::titled());
    EXPECT_EQ(titleBarHeight(*titled), NSWindow::titleBarHeight);
    EXPECT_TRUE(separator()->isSeparatorItem());

    EXPECT_TRUE(cgPath(NSBezierPath()).isEmpty());
    auto oval = NSBezierPath::ovalIn({0, 0, 10, 10});
    auto path = cgPath(*oval);
    ASSERT_EQ(path.elements().size(), oval->elementCount());
    EXPECT_EQ(path.elements()[1].type, CGPathElementType::addCurveToPoint);
    EXPECT_EQ(path.elements()[1].endPoint(), (CGPoint{5, 10}));
}

TEST_F(Helpers, ResizingRoundingAndTinting) {
    auto source = halfRed({200, 100});
    auto smaller = resized(*source, 50.0);
    EXPECT_EQ(smaller->size(), (CGSize{100, 50}));
    EXPECT_EQ(source->size(), (CGSize{200, 100}));
    EXPECT_EQ(resized(*emptyImage(), 50.0)->size(), (CGSize{0, 50}));  // no height to scale from
    auto pixels = smaller->cgImage();
    EXPECT_EQ(pixels->pixel(50, 10), (std::array<std::uint8_t, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pixels->pixel(50, 40)[3], 0);

    auto round = rounded(*halfRed({40, 40}), 20, 20)->cgImage();
    EXPECT_EQ(round->pixel(0, 0)[3], 0);  // the corner is cut
    EXPECT_EQ(round->pixel(20, 5)[3], 255);

    EXPECT_EQ(tinted(source, NSColor::make(0, 0, 1)), source);
    auto symbol = NSImage::systemSymbol("bolt.fill");
    auto accent = accentTinted(symbol);
    EXPECT_FALSE(accent->isTemplate());
    EXPECT_NE(accent, symbol);
    EXPECT_EQ(emptyImage(), emptyImage());
    EXPECT_FALSE(pngData(*emptyImage()));
}

TEST_F(Helpers, HierarchicalColourAppliesToSymbolsFromVersion12) {
    auto blue = NSColor::make(0, 0, 1);
    auto photo = halfRed({4, 4});
    EXPECT_EQ(withHierarchicalColor(photo, blue), photo);
    auto symbol = NSImage::systemSymbol("bolt.fill");
    auto colored = withHierarchicalColor(symbol, blue);
    ASSERT_NE(colored, symbol);
    EXPECT_EQ(colored->symbolConfiguration()->hierarchicalColor, blue);
    auto pixels = colored->cgImage();
    bool blueInk = false;
    for (std::size_t y = 0; y < pixels->height(); ++y) {
        for (std::size_t x = 0; x < pixels->width(); ++x) blueInk |= pixels->pixel(x, y)[2] > 200;
    }
    EXPECT_TRUE(blueInk);

    ProcessInfo::processInfo().setOperatingSystemVersion(OperatingSystemVersion{11, 5, 0});
    EXPECT_EQ(withHierarchicalColor(symbol, blue), symbol);
}

TEST_F(Helpers, PhotoEffectsKeepTheImagesSize) {
    EXPECT_EQ(filterName(PhotoEffect::noir), "CIPhotoEffectNoir");
    EXPECT_EQ(photoEffectFrom(1), PhotoEffect::tonal);
    EXPECT_FALSE(photoEffectFrom(3));

    auto image = halfRed({20, 10});
    auto mono = applying(*image, PhotoEffect::mono);
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->size(), (CGSize{20, 10}));
    auto p = mono->cgImage()->pixel(10, 2);
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    EXPECT_NEAR(p[0], 54, 1);  // red's luminance
    EXPECT_FALSE(applying(*emptyImage(), PhotoEffect::noir));
}

TEST_F(Helpers, PngBytesAndFiles) {
    TemporaryDirectory folder;
    auto image = halfRed({8, 8});
    auto bytes = pngData(*image);
    ASSERT_TRUE(bytes);
    auto decoded = CGImage::fromPNG(*bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width(), 8u);

    auto file = folder.path() / "picture.png";
    writePNG(*image, URL::fileURLWithPath(file.string()), {.atomic = true});
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), bytes->size());

    auto kept = folder.write("kept.png", "old");
    writePNG(*image, URL::fileURLWithPath(kept.string()), {.withoutOverwriting = true});
    EXPECT_EQ(std::filesystem::file_size(kept), 3u);
    writePNG(*emptyImage(), URL::fileURLWithPath((folder.path() / "none.png").string()));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "none.png"));
    writePNG(*image, URL::fileURLWithPath((folder.path() / "missing" / "x.png").string()));  // fails quietly
    // An atomic write that cannot replace its target leaves neither the target changed nor its
    // temporary file behind.
    auto occupied = folder.path() / "occupied.png";
    std::filesystem::create_directories(occupied / "inside");
    writePNG(*image, URL::fileURLWithPath(occupied.string()), {.atomic = true});
    EXPECT_TRUE(std::filesystem::is_directory(occupied / "inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), std::filesystem::directory_iterator()), 3);
}

TEST_F(Helpers, QuestionsAnswerYesOnlyForTheSecondButton) {
    std::vector<std::vector<std::string>> buttons;
    std::vector<NSAlertStyle> styles;
    NSModalResponse answer = NSAlertFirstButtonReturn;
    NSAlert::setResponder([&](const NSAlert& alert) {
        buttons.push_back(alert.buttonTitles());
        styles.push_back(alert.alertStyle());
        return answer;
    });
    EXPECT_FALSE(Alert::question("Delete", "Really?"));
    answer = NSAlertSecondButtonReturn;
    EXPECT_TRUE(Alert::question("Delete", "Really?"));
    Alert::info("Done", "All good");
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0], (std::vector<std::string>{"No", "Yes"}));
    EXPECT_EQ(buttons[2], (std::vector<std::string>{"OK"}));
    EXPECT_EQ(styles[0], NSAlertStyle::warning);

    auto window = NSWindow::make({0, 0, 100, 100}, NSWindow::StyleMask::titled());
    std::vector<bool> answers;
    Alert::questionSheet(window, "Keep", "Keep it?", [&](bool yes) { answers.push_back(yes); });
    runUntilIdle();
    EXPECT_EQ(answers, (std::vector<bool>{true}));
    EXPECT_EQ(styles.back(), NSAlertStyle::informational);
}

namespace {
class SettingsController : public NSViewController {};
}  // namespace

TEST_F(Helpers, StoryboardControllersOfTheExpectedClassOnly) {
    NSStoryboard::registerStoryboard("Settings", {"main", {{"main", [] { return std::make_shared<SettingsController>(); }},
                                                         {"window", [] { return std::make_shared<NSWindowController>(); }}}});
    EXPECT_TRUE(initialController<SettingsController>("Settings"));
    EXPECT_TRUE(initialController("Settings"));  // as a plain view controller
    EXPECT_FALSE(initialController<NSWindowController>("Settings"));
    EXPECT_TRUE(controller<NSWindowController>("Settings", "window"));
    EXPECT_FALSE(controller<SettingsController>("Settings", "window"));
    EXPECT_FALSE(controller("Settings", "nothing"));
    EXPECT_FALSE(initialController("Nothing"));
    NSStoryboard::unregisterStoryboard("Settings");
}
