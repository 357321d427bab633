#include "Quillon/BatteryController.hpp"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace Quillon {

namespace {
bool isAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Names sort by the code points of their canonically composed form, case-sensitively, whatever
// the locale: "Zebra" before "apple". ASCII is its own composed form.
std::string composed(const std::string& name) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return name;
    icu::UnicodeString text = nfc->normalize(icu::UnicodeString::fromUTF8(name), status);
    if (U_FAILURE(status)) return name;
    std::string out;
    text.toUTF8String(out);
    return out;
}
}  // namespace

BatteryController::BatteryController()
    : BatteryController(std::make_shared<RuduredOro::BluetoothFinder>(), RuduredOro::LowEnergyFinder::make()) {}

BatteryController::BatteryController(std::shared_ptr<RuduredOro::IBluetoothFinder> finder,
                                     std::shared_ptr<RuduredOro::ILowEnergyFinder> lowEnergyFinder)
    : finder(std::move(finder)), lowEnergyFinder(std::move(lowEnergyFinder)) {}

void BatteryController::addObserver(const std::shared_ptr<Observer>& observer) {
    if (observer) observers_[observer->id()] = observer;
}

void BatteryController::refresh() {
    if (lowEnergyFinder->isPoweredOn()) lowEnergyFinder->refresh();
    finder->refresh();

    std::vector<std::shared_ptr<RuduredOro::BatteryDevice>> merged = finder->devices();
    for (const auto& device : lowEnergyFinder->devices()) {
        if (device->batteryLevel()) merged.push_back(device);
    }
    // UTF-8 bytes compare in code-point order; equal names keep their merged order. A name beyond
    // ASCII compares by its composed form; a plain ASCII name is its own.
    std::unordered_map<const RuduredOro::BatteryDevice*, std::string> composedNames;
    for (const auto& device : merged) {
        if (!isAscii(device->name())) composedNames.emplace(device.get(), composed(device->name()));
    }
    auto key = [&](const std::shared_ptr<RuduredOro::BatteryDevice>& device) -> std::string_view {
        auto found = composedNames.empty() ? composedNames.end() : composedNames.find(device.get());
        return found == composedNames.end() ? std::string_view(device->name()) : std::string_view(found->second);
    };
    std::stable_sort(merged.begin(), merged.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    batteries = std::move(merged);

    for (const auto& [id, weak] : std::map<int, std::weak_ptr<Observer>>(observers_)) {
        if (auto observer = weak.lock()) observer->update();
    }
}

}  // namespace Quillon
