#pragma once
// The controller of the main window: its About toolbar item and its keep-in-front control.
#include <memory>

#include "AppKit/NSSegmentedControl.hpp"
#include "AppKit/NSToolbar.hpp"
#include "AppKit/NSWindowController.hpp"
#include "AppKit/Selector.hpp"

namespace Quillon {

class WindowController : public NSWindowController {
public:
    /// The segments of the keep-in-front control.
    static constexpr int inFrontSegment = 0;
    static constexpr int normalSegment = 1;

    using NSWindowController::NSWindowController;

    // Outlets, connected by the storyboard.
    std::weak_ptr<NSToolbarItem> about;
    std::weak_ptr<NSSegmentedControl> keepInFront;

    /// Borders the About item, selects the segment of the stored setting and applies the level.
    void windowDidLoad() override;
    /// Flips the keep-in-front setting (memory and user defaults) and applies the level. The
    /// control sends this only when its selection changes, so the two always agree.
    void keepInFrontChanged(const Selector::Sender& sender);
    void aboutClicked(const Selector::Sender& sender);
};

/// The first window of the application floats in front, key and ordered front, when the window is
/// to be kept in front; otherwise it has the normal level. Nothing without a window.
void applyWindowLevel();

}  // namespace Quillon
