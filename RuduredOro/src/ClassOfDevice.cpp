#include "RuduredOro/ClassOfDevice.hpp"

#include <array>

namespace RuduredOro {

namespace {

using Type = BluetoothDeviceType;

/// The table's entry for a minor number, `fallback` outside it.
template <std::size_t N>
Type lookup(const std::array<Type, N>& table, std::int64_t minor, Type fallback) {
    if (minor < 0 || minor >= static_cast<std::int64_t>(N)) return fallback;
    return table[static_cast<std::size_t>(minor)];
}

constexpr std::array<Type, 6> kPhones{Type::uncategorized, Type::cellular, Type::cordless, Type::smartphone,
                                      Type::wiredModemOrVoiceGateay, Type::commonIsdnAccess};

constexpr std::array<Type, 19> kAudioVideo{
    Type::uncategorized,    Type::wearableHeadsetDevice, Type::handsFreeDevice,  Type::reserved,
    Type::microphone,       Type::loudspeaker,           Type::headphones,       Type::portableAudio,
    Type::carAudio,         Type::setTopBox,             Type::hifiAudioDevice,  Type::vcr,
    Type::videoCamera,      Type::camcorder,             Type::videoMonitor,     Type::videoDisplayAndLoudspeaker,
    Type::videoConferencing, Type::reserved,             Type::gamingOrToy};

constexpr std::array<Type, 4> kPeripheralCategories{Type::notKeyboardPointingDevice, Type::keyboard,
                                                    Type::pointingDevice, Type::comboKeyboardPointingDevice};

constexpr std::array<Type, 10> kPeripheralTypes{
    Type::uncategorized, Type::joystick,    Type::gamepad,    Type::remoteControl,
    Type::sensingDevice, Type::digitizerTablet, Type::cardReader, Type::digitalPen,
    Type::handheldScannerForBarCodes, Type::handheldGesturalInputDevice};

constexpr std::array<Type, 6> kToys{Type::unknown, Type::robot, Type::vehicle, Type::dollActionFigure,
                                    Type::controller, Type::game};

// 0 and 10 are not assigned and count as uncategorized, like anything outside the table.
constexpr std::array<Type, 16> kHealth{
    Type::uncategorized,      Type::bloodPressure, Type::thermometer,      Type::weighingScale,
    Type::glucoseMeter,       Type::pulseOximeter, Type::heartPulseRateMonitor, Type::healthDataDisplay,
    Type::stepCounter,        Type::bodyCompositionAnalyzer, Type::uncategorized, Type::medicationMonitor,
    Type::kneeProsthesis,     Type::ankleProsthesis, Type::genenericHealthManager, Type::personalMobilityDevice};

}  // namespace

ClassOfDevice::ClassOfDevice(std::int64_t rawValue) : ClassOfDevice((rawValue >> 8) & 31, (rawValue >> 2) & 63) {
    this->rawValue = rawValue;
}

ClassOfDevice::ClassOfDevice(std::int64_t major, std::int64_t minor) {
    switch (major) {
        case 1:
            this->major = MajorClass::computer;
            deviceType = minor == 6 ? Type::wearableComputer : minor == 7 ? Type::tablet : Type::unknown;
            break;
        case 2:
            this->major = MajorClass::phone;
            decodePhone(minor);
            break;
        case 4:
            this->major = MajorClass::audioVideo;
            decodeAudioVideo(minor);
            break;
        case 5:
            this->major = MajorClass::peripheral;
            decodePeripheral(minor);
            break;
        case 8:
            this->major = MajorClass::toy;
            decodeToy(minor);
            break;
        case 9:
            this->major = MajorClass::health;
            decodeHealth(minor);
            break;
        default:
            break;
    }
}

void ClassOfDevice::decodeHealth(std::int64_t minor) { deviceType = lookup(kHealth, minor, Type::uncategorized); }

void ClassOfDevice::decodePhone(std::int64_t minor) { deviceType = lookup(kPhones, minor, Type::unknown); }

void ClassOfDevice::decodeToy(std::int64_t minor) { deviceType = lookup(kToys, minor, Type::unknown); }

void ClassOfDevice::decodePeripheral(std::int64_t minor) {
    category = lookup(kPeripheralCategories, minor >> 4, Type::unknown);
    deviceType = lookup(kPeripheralTypes, minor & 15, Type::unknown);
}

void ClassOfDevice::decodeAudioVideo(std::int64_t minor) { deviceType = lookup(kAudioVideo, minor, Type::unknown); }

}  // namespace RuduredOro
