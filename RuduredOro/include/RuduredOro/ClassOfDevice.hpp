#pragma once
// Decoding of the 24-bit class-of-device value that a classic Bluetooth device announces:
// bits 12-8 hold the major class, bits 7-2 the minor class, read per major class.
#include <cstdint>

namespace RuduredOro {

enum class MajorClass { unknown, peripheral, computer, phone, audioVideo, toy, health };

enum class BluetoothDeviceType {
    unknown,
    reserved,
    uncategorized,
    cellular,
    cordless,
    smartphone,
    wiredModemOrVoiceGateay,
    commonIsdnAccess,
    wearableHeadsetDevice,
    handsFreeDevice,
    microphone,
    loudspeaker,
    headphones,
    portableAudio,
    carAudio,
    setTopBox,
    hifiAudioDevice,
    vcr,
    videoCamera,
    camcorder,
    videoMonitor,
    videoDisplayAndLoudspeaker,
    videoConferencing,
    gamingOrToy,
    notKeyboardPointingDevice,
    keyboard,
    pointingDevice,
    comboKeyboardPointingDevice,
    gamepad,
    joystick,
    remoteControl,
    sensingDevice,
    digitizerTablet,
    cardReader,
    digitalPen,
    handheldScannerForBarCodes,
    handheldGesturalInputDevice,
    tablet,
    wearableComputer,
    robot,
    vehicle,
    dollActionFigure,
    controller,
    game,
    bloodPressure,
    thermometer,
    weighingScale,
    glucoseMeter,
    pulseOximeter,
    heartPulseRateMonitor,
    healthDataDisplay,
    stepCounter,
    bodyCompositionAnalyzer,
    medicationMonitor,
    kneeProsthesis,
    ankleProsthesis,
    genenericHealthManager,
    personalMobilityDevice,
};

class ClassOfDevice {
public:
    /// Decodes the major and minor class of a class-of-device value and keeps the value.
    explicit ClassOfDevice(std::int64_t rawValue);
    /// Decodes a major and a minor class number; rawValue stays 0.
    ClassOfDevice(std::int64_t major, std::int64_t minor);
    /// Takes the decoded values as they are; rawValue is 0.
    ClassOfDevice(MajorClass major, BluetoothDeviceType category, BluetoothDeviceType deviceType)
        : major(major), category(category), deviceType(deviceType) {}

    std::int64_t rawValue = 0;
    MajorClass major = MajorClass::unknown;
    /// Keyboard, pointing device, both or neither; set for peripherals only.
    BluetoothDeviceType category = BluetoothDeviceType::unknown;
    BluetoothDeviceType deviceType = BluetoothDeviceType::unknown;

    void decodeHealth(std::int64_t minor);
    void decodePhone(std::int64_t minor);
    void decodeToy(std::int64_t minor);
    /// Sets the category from the top two bits of the minor class and the type from the low four.
    void decodePeripheral(std::int64_t minor);
    void decodeAudioVideo(std::int64_t minor);
};

}  // namespace RuduredOro
