#include "Quillon/ViewController.hpp"

#include "AppKit/NSWindow.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/Timer.hpp"
#include "Quillon/BatteryCells.hpp"
#include "Quillon/Settings.hpp"
#include "RarAvi/ApplicationExtensions.hpp"
#include "RarAvi/ColorExtensions.hpp"
#include "RarAvi/WindowExtensions.hpp"
#include "RuduredOro/LowEnergyDevice.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"
#include "ZuzeDiv/Notifications.hpp"

namespace Quillon {

using RuduredOro::BatteryDevice;

namespace {
// The gauge's colour for a level: red up to 19 %, else a green that is brighter in a dark
// appearance.
std::shared_ptr<NSColor> levelColor(int level) {
    if (level <= 19) return RarAvi::rgb(255, 0, 40);
    return RarAvi::isDarkMode() ? RarAvi::rgb(16, 172, 16) : RarAvi::rgb(0, 156, 0);
}
}  // namespace

ViewController::ViewController() : ViewController(std::make_shared<BatteryController>()) {}

ViewController::ViewController(std::shared_ptr<BatteryController> controller) : controller(std::move(controller)) {}

std::shared_ptr<ViewController> ViewController::self() {
    return std::static_pointer_cast<ViewController>(shared_from_this());
}

void ViewController::viewDidLoad() {
    NSViewController::viewDidLoad();
    if (!controller->timer) {
        // The timer holds the controller weakly: the controller holds the timer, and this view
        // controller owns the controller for as long as it lives.
        std::weak_ptr<BatteryController> target = controller;
        controller->timer = Timer::scheduledTimer(1.0, true, [target](Timer&) {
            if (auto strong = target.lock()) strong->refreshAsync();
        });
        controller->timer->fire();
    }
    controller->addObserver(self());
    if (auto label = emptyLabel.lock()) label->setStringValue(Bundle::main()->localizedString("NO_DEVICES", ""));
    if (auto table = tableView.lock()) {
        table->setBackgroundColor(NSColor::clearColor());
        if (auto scroll = table->enclosingScrollView()) scroll->setDrawsBackground(false);
    }
    Settings::checkReview();
}

void ViewController::viewWillAppear() {
    NSViewController::viewWillAppear();
    update();
    std::weak_ptr<ViewController> weak = self();
    ZuzeDiv::Notifications::addObserver(
        self(),
        [weak](const Notification&) {
            if (auto strong = weak.lock()) strong->windowResize();
        },
        windowResizeNotification);
}

void ViewController::viewWillDisappear() {
    NSViewController::viewWillDisappear();
    ZuzeDiv::Notifications::removeObserver(self(), windowResizeNotification);
}

void ViewController::windowResize() { resize(); }

void ViewController::update() {
    std::size_t before = batteries.size();
    batteries = controller->batteries;
    // The reload runs after the refresh has returned; the block keeps this controller alive.
    DispatchQueue::main().async([strong = self()] {
        if (auto table = strong->tableView.lock()) table->reloadData();
    });
    if (batteries.size() != before) resize();
}

void ViewController::resize() {
    auto window = isViewLoaded() ? view()->window() : nullptr;
    if (!window) return;
    CGFloat titleBar = RarAvi::titleBarHeight(*window);
    CGFloat height = titleBar + rowHeight * CGFloat(batteries.size()) + verticalMargins;
    CGRect frame = window->frame();
    CGRect resized{frame.minX(), frame.minY() + frame.height() - height, frame.width(), height};
    window->setFrame(resized, true, true);
    window->setStyleMask(window->styleMask().removing(NSWindow::StyleMask::resizable()));
}

int ViewController::numberOfRows(NSTableView&) {
    int count = static_cast<int>(batteries.size());
    if (auto scroll = scrollView.lock()) scroll->setHidden(count == 0);
    if (auto label = emptyLabel.lock()) label->setHidden(count != 0);
    return count;
}

const std::string& ViewController::localized(const std::string& key) {
    auto found = texts_.find(key);
    if (found == texts_.end()) found = texts_.emplace(key, Bundle::main()->localizedString(key, "")).first;
    return found->second;
}

std::shared_ptr<NSImage> ViewController::picture(const BatteryDevice& device, const RuduredOro::LowEnergyDevice* lowEnergy) {
    PictureKind kind{device.productId(),
                     device.internalName(),
                     device.type(),
                     lowEnergy != nullptr,
                     lowEnergy && lowEnergy->isMouse(),
                     lowEnergy && lowEnergy->isKeyboard()};
    if (auto found = pictures_.find(kind); found != pictures_.end()) {
        if (found->second.none) return nullptr;
        if (auto image = found->second.image.lock()) return image;
    }
    auto image = device.image();
    if (!image && lowEnergy) {
        image = lowEnergy->isMouse()      ? BatteryDevice::mouseImage()
                : lowEnergy->isKeyboard() ? BatteryDevice::keyboardImage()
                                          : BatteryDevice::bluetoothImage();
    }
    // Whenever a picture is read, the kinds whose pictures no row holds any more leave the list;
    // the kinds without a picture stay, as they hold nothing but their key.
    std::erase_if(pictures_, [](const auto& entry) { return !entry.second.none && entry.second.image.expired(); });
    pictures_[std::move(kind)] = KeptPicture{image, !image};
    return image;
}

std::shared_ptr<NSView> ViewController::viewFor(NSTableView& table, const std::shared_ptr<NSTableColumn>&, int row) {
    // The list may already be longer or shorter than the table's rows (the reload is posted).
    if (row < 0 || static_cast<std::size_t>(row) >= batteries.size()) return nullptr;
    const auto& device = batteries[static_cast<std::size_t>(row)];
    if (!device || !device->batteryLevel()) return nullptr;
    // IOKit devices: their names are keys of the strings table (a name without a translation
    // stays as it is). Low Energy devices: the model when known, else the name.
    const auto* lowEnergy = dynamic_cast<const RuduredOro::LowEnergyDevice*>(device.get());
    std::string title;
    if (dynamic_cast<const RuduredOro::SingleBatteryDevice*>(device.get())) {
        title = localized(device->name());
    } else if (lowEnergy) {
        title = lowEnergy->model().value_or(device->name());
    } else {
        return nullptr;
    }
    auto cell = std::dynamic_pointer_cast<SingleBatteryCell>(table.makeView(cellIdentifier, nullptr));
    if (!cell) return nullptr;
    int level = *device->batteryLevel();

    if (auto image = cell->imageView()) image->setImage(picture(*device, lowEnergy));
    auto name = cell->name.lock();
    auto gauge = cell->value.lock();
    auto levelText = cell->level.lock();
    auto charging = cell->isChargingIcon.lock();
    if (name) {
        name->setStringValue(title);
        name->setAlignment(NSTextAlignment::left);
    }
    if (levelText) levelText->setHidden(false);
    if (gauge) {
        gauge->setHidden(false);
        gauge->setValue(CGFloat(level) / 100.0);
        // The gauge builds its rings anew for every colour it is given: a row that keeps its
        // colour keeps its rings, and draws nothing anew.
        auto color = levelColor(level);
        if (!gauge->color() || gauge->color()->cgColor() != color->cgColor()) gauge->setColor(color);
    }
    if (levelText) levelText->setStringValue(localized("LEVEL") + ": " + std::to_string(level) + "%");
    if (charging) charging->setHidden(!device->isCharging());
    return cell;
}

}  // namespace Quillon
