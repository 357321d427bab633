#include "Quillon/ViewController.hpp"

#include <charconv>
#include <typeinfo>

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
// The device as one of the device classes: its very class is told by its type alone, a subclass
// of it by a cast.
template <class Device>
const Device* as(const BatteryDevice& device) {
    if (typeid(device) == typeid(Device)) return static_cast<const Device*>(&device);
    return dynamic_cast<const Device*>(&device);
}
}  // namespace

ViewController::ViewController() : ViewController(std::make_shared<BatteryController>()) {}

ViewController::ViewController(std::shared_ptr<BatteryController> controller)
    : controller(std::move(controller)), lowLevelColor_(RarAvi::rgb(255, 0, 40)) {}

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
    DispatchQueue::main().async([strong = self()] { strong->reload(); });
    if (batteries.size() != before) resize();
}

void ViewController::reload() {
    auto table = tableView.lock();
    if (!table) return;
    // Nothing the table does while it reloads changes the appearance: the green is chosen once for
    // all the rows.
    struct Reloading {
        ViewController& list;
        ~Reloading() { list.reloading_ = list.levelColorChosen_ = false; }
    } reloading{*this};
    reloading_ = true;
    table->reloadData();
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

const std::shared_ptr<NSImage>& ViewController::picture(const BatteryDevice& device,
                                                        const RuduredOro::LowEnergyDevice* lowEnergy, ShownRow& shown) {
    PictureKind& kind = pictureKind_;
    kind.productId = device.productId();
    kind.hasInternalName = device.internalName().has_value();
    if (kind.hasInternalName) {
        kind.internalName.assign(*device.internalName());
    } else {
        kind.internalName.clear();
    }
    kind.type = device.type();
    kind.lowEnergy = lowEnergy;
    kind.mouse = lowEnergy && lowEnergy->isMouse();
    kind.keyboard = lowEnergy && lowEnergy->isKeyboard();
    if (shown.picture && kind == shown.kind) return *shown.picture;
    auto found = pictures_.find(kind);
    if (found == pictures_.end()) {
        auto image = device.image();
        if (!image && lowEnergy) {
            image = lowEnergy->isMouse()      ? BatteryDevice::mouseImage()
                    : lowEnergy->isKeyboard() ? BatteryDevice::keyboardImage()
                                              : BatteryDevice::bluetoothImage();
        }
        found = pictures_.emplace(kind, std::move(image)).first;
    }
    shown.kind = kind;
    shown.picture = &found->second;
    return found->second;
}

const std::string& ViewController::title(const BatteryDevice& device, ShownRow& shown) {
    if (shown.title && device.name() == shown.name) return *shown.title;
    shown.name.assign(device.name());
    shown.title = &localized(device.name());
    return *shown.title;
}

const std::shared_ptr<NSColor>& ViewController::levelColor(int level) {
    if (level <= 19) return lowLevelColor_;
    if (levelColorChosen_) return levelColor_;
    levelColorChosen_ = reloading_;
    auto appearance = RarAvi::currentAppearance();
    if (!levelColor_ || appearance != levelColorAppearance_) {
        levelColor_ = appearance && RarAvi::isDarkMode(*appearance) ? RarAvi::rgb(16, 172, 16) : RarAvi::rgb(0, 156, 0);
        levelColorAppearance_ = std::move(appearance);
    }
    return levelColor_;
}

std::shared_ptr<NSView> ViewController::viewFor(NSTableView& table, const std::shared_ptr<NSTableColumn>&, int row) {
    // The list may already be longer or shorter than the table's rows (the reload is posted).
    if (row < 0 || static_cast<std::size_t>(row) >= batteries.size()) return nullptr;
    const auto& device = batteries[static_cast<std::size_t>(row)];
    if (!device || !device->batteryLevel()) return nullptr;
    if (shownRows_.size() <= static_cast<std::size_t>(row)) shownRows_.resize(static_cast<std::size_t>(row) + 1);
    ShownRow& shown = shownRows_[static_cast<std::size_t>(row)];
    // IOKit devices: their names are keys of the strings table (a name without a translation
    // stays as it is). Low Energy devices: the model when known, else the name.
    const RuduredOro::LowEnergyDevice* lowEnergy = nullptr;
    const std::string* title = nullptr;
    if (as<RuduredOro::SingleBatteryDevice>(*device)) {
        title = &this->title(*device, shown);
    } else if ((lowEnergy = as<RuduredOro::LowEnergyDevice>(*device))) {
        title = lowEnergy->model() ? &*lowEnergy->model() : &device->name();
    } else {
        return nullptr;
    }
    static const std::string identifier = cellIdentifier;
    auto view = table.makeView(identifier, nullptr);
    if (!view || typeid(*view) != typeid(SingleBatteryCell)) return nullptr;  // the cell's class is final
    auto cell = std::static_pointer_cast<SingleBatteryCell>(std::move(view));
    int level = *device->batteryLevel();

    // The cell holds its views: the row is filled through plain pointers to them.
    if (auto image = cell->borrowedImageView()) image->setImage(picture(*device, lowEnergy, shown));
    auto name = cell->name.borrow(*cell);
    auto gauge = cell->value.borrow(*cell);
    auto levelText = cell->level.borrow(*cell);
    auto charging = cell->isChargingIcon.borrow(*cell);
    if (name) {
        name->setStringValue(*title);
        name->setAlignment(NSTextAlignment::left);
    }
    if (levelText) levelText->setHidden(false);
    if (gauge) {
        gauge->setHidden(false);
        gauge->setValue(CGFloat(level) / 100.0);
        // The gauge builds its rings anew for every colour it is given: a row that keeps its
        // colour keeps its rings, and draws nothing anew.
        const auto& color = levelColor(level);
        auto current = gauge->color();
        if (current != color && (!current || current->cgColor() != color->cgColor())) gauge->setColor(color);
    }
    if (levelText) {
        // "Level: 50%": the last row's text with its number and sign replaced.
        if (levelText_.empty()) {
            levelText_ = localized("LEVEL") + ": ";
            levelPrefixSize_ = levelText_.size();
        }
        levelText_.resize(levelPrefixSize_);
        char digits[5];
        char* end = std::to_chars(digits, digits + sizeof digits - 1, level).ptr;
        *end++ = '%';
        levelText_.append(digits, end);
        levelText->setStringValue(levelText_);
    }
    if (charging) charging->setHidden(!device->isCharging());
    return cell;
}

}  // namespace Quillon
