#pragma once
// The content of the application's window: a table with one row per device, refreshed once a
// second by the battery controller it owns, a text when there is no device, and a window that
// follows the number of rows.
#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "AppKit/NSScrollView.hpp"
#include "AppKit/NSTableView.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSViewController.hpp"
#include "Quillon/BatteryController.hpp"
#include "Quillon/Observer.hpp"
#include "RuduredOro/BatteryDevice.hpp"

namespace RuduredOro {
class LowEnergyDevice;
}

namespace Quillon {

class ViewController : public NSViewController,
                       public Observer,
                       public NSTableViewDataSource,
                       public NSTableViewDelegate {
public:
    /// The identifier of the cell prototype every row is made from.
    static constexpr const char* cellIdentifier = "single";
    /// The height of a row, and the room above and below the table, in points.
    static constexpr CGFloat rowHeight = 96;
    static constexpr CGFloat verticalMargins = 16;
    /// The notification that asks for a resize from outside.
    static constexpr const char* windowResizeNotification = "WindowResize";

    /// A controller with a battery controller of its own.
    ViewController();
    /// The same with the battery controller given (tests, benchmarks).
    explicit ViewController(std::shared_ptr<BatteryController> controller);

    // Outlets, connected by the storyboard.
    std::weak_ptr<NSTableView> tableView;
    std::weak_ptr<NSTextField> emptyLabel;
    std::weak_ptr<NSScrollView> scrollView;
    /// The list the table shows.
    std::vector<std::shared_ptr<RuduredOro::BatteryDevice>> batteries;
    const std::shared_ptr<BatteryController> controller;

    // Observer: always registered under 0.
    int id() const override { return id_; }
    void setId(int id) override { id_ = id; }
    /// Takes the controller's list, reloads the table on the main queue and resizes the window at
    /// once when the number of devices changed.
    void update() override;
    /// Sizes the window to title bar + 96 per row + 16, keeping its top edge, and stops the user
    /// from resizing it. Nothing without a window.
    virtual void resize();

    /// Starts the refresh timer (once) and runs the first refresh, registers as observer, sets up
    /// the empty text and the clear table, and runs the review-prompt check.
    void viewDidLoad() override;
    /// Shows the list at once and listens for "WindowResize" until the view disappears.
    void viewWillAppear() override;
    void viewWillDisappear() override;
    void windowResize();

    // The table's data source and delegate.
    /// The number of devices; the scroll view is shown only with devices, the empty text only
    /// without.
    int numberOfRows(NSTableView& tableView) override;
    /// The row of a device with a level (an IOKit or a Low Energy device); no view for another
    /// device or a row past the list.
    std::shared_ptr<NSView> viewFor(NSTableView& tableView, const std::shared_ptr<NSTableColumn>& tableColumn,
                                    int row) override;

private:
    /// What a device's picture depends on: the product, the model, the kind and, for Low Energy
    /// devices without a picture of their own, what the registry says they are.
    struct PictureKind {
        std::optional<std::int64_t> productId;
        std::optional<std::string> internalName;
        RuduredOro::DeviceType::Value type = RuduredOro::DeviceType::undefined;
        bool lowEnergy = false, mouse = false, keyboard = false;
        auto operator<=>(const PictureKind&) const = default;
    };

    /// A picture looked up for a kind, held only by the rows that show it; or the mark of a kind
    /// without a picture.
    struct KeptPicture {
        std::weak_ptr<NSImage> image;
        bool none = false;
    };

    std::shared_ptr<ViewController> self();
    /// The device's picture, as the rules of its kind choose it; looked up once for as long as a row
    /// shows it (pictures are files read and parsed anew on every request, and the list is shown
    /// every second). A picture no row shows any more is let go, so that scrolling through many
    /// kinds of device keeps only the pictures in view.
    std::shared_ptr<NSImage> picture(const RuduredOro::BatteryDevice& device, const RuduredOro::LowEnergyDevice* lowEnergy);
    /// A text of the main bundle's strings table, looked up once.
    const std::string& localized(const std::string& key);

    int id_ = 0;
    std::map<PictureKind, KeptPicture> pictures_;
    std::unordered_map<std::string, std::string> texts_;
};

}  // namespace Quillon
