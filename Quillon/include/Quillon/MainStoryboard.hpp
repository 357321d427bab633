#pragma once
// The application's main storyboard "Main" as scene factories of the main bundle: the application
// delegate with its menu, and the initial scene, the main window with its toolbar and the device
// list.
#include <memory>

#include "AppKit/NSView.hpp"
#include "Quillon/AppDelegate.hpp"
#include "Quillon/BatteryController.hpp"
#include "Quillon/WindowController.hpp"

namespace Quillon {

class MainStoryboard {
public:
    MainStoryboard() = delete;

    static constexpr const char* name = "Main";
    static constexpr const char* windowScene = "MainWindow";
    /// The window's width and the content height it has before the first resize.
    static constexpr CGFloat windowWidth = 380;
    static constexpr CGFloat initialContentHeight = 112;

    /// Registers "Main" for the main bundle (again after a test replaced it).
    static void registerScenes();
    /// The window scene: the window controller with its window, toolbar and device list, whose
    /// battery controller is the one given (a new one when none is).
    static std::shared_ptr<WindowController> makeWindowController(std::shared_ptr<BatteryController> controller = nullptr);
    /// The application scene: the delegate, and the main menu with About and Help.
    static std::shared_ptr<AppDelegate> makeApplicationDelegate();
    /// A new "single" cell with its subviews and outlets, as the table's prototype makes it.
    static std::shared_ptr<NSView> makeSingleCell();
};

}  // namespace Quillon
