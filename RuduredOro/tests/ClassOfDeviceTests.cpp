#include <gtest/gtest.h>

#include "RuduredOro/ClassOfDevice.hpp"

using namespace RuduredOro;
using Type = BluetoothDeviceType;

TEST(ClassOfDevice, DecodesPeripheralsIntoCategoryAndType) {
    ClassOfDevice keyboard(0x002540);
    EXPECT_EQ(keyboard.rawValue, 0x002540);
    EXPECT_EQ(keyboard.major, MajorClass::peripheral);
    EXPECT_EQ(keyboard.category, Type::keyboard);
    EXPECT_EQ(keyboard.deviceType, Type::uncategorized);

    EXPECT_EQ(ClassOfDevice(0x002580).category, Type::pointingDevice);
    ClassOfDevice combo(5, 0b110010);
    EXPECT_EQ(combo.rawValue, 0);
    EXPECT_EQ(combo.category, Type::comboKeyboardPointingDevice);
    EXPECT_EQ(combo.deviceType, Type::gamepad);
    EXPECT_EQ(ClassOfDevice(5, 0b100101).deviceType, Type::digitizerTablet);
    EXPECT_EQ(ClassOfDevice(5, 9).deviceType, Type::handheldGesturalInputDevice);
    EXPECT_EQ(ClassOfDevice(5, 10).deviceType, Type::unknown);
    // Only a minor number outside six bits reaches an unknown category.
    ClassOfDevice outside(5, 64);
    EXPECT_EQ(outside.category, Type::unknown);
    EXPECT_EQ(outside.deviceType, Type::uncategorized);
}

TEST(ClassOfDevice, ServiceBitsDoNotDisturbTheDecoding) {
    // Major 4, minor 1, with rendering, audio and telephony service bits set.
    ClassOfDevice headset((0x2C0 << 13) | (4 << 8) | (1 << 2));
    EXPECT_EQ(headset.major, MajorClass::audioVideo);
    EXPECT_EQ(headset.deviceType, Type::wearableHeadsetDevice);
    EXPECT_EQ(headset.category, Type::unknown);
    EXPECT_EQ(ClassOfDevice(4, 6).deviceType, Type::headphones);
    EXPECT_EQ(ClassOfDevice(4, 17).deviceType, Type::reserved);
    EXPECT_EQ(ClassOfDevice(4, 18).deviceType, Type::gamingOrToy);
    EXPECT_EQ(ClassOfDevice(4, 19).deviceType, Type::unknown);
}

TEST(ClassOfDevice, UnknownMajorClassesAndMinorNumbers) {
    for (int major : {0, 3, 6, 7, 31}) {
        ClassOfDevice device(major, 1);
        EXPECT_EQ(device.major, MajorClass::unknown) << major;
        EXPECT_EQ(device.category, Type::unknown) << major;
        EXPECT_EQ(device.deviceType, Type::unknown) << major;
    }
    ClassOfDevice phone(2, 9);
    EXPECT_EQ(phone.major, MajorClass::phone);
    EXPECT_EQ(phone.deviceType, Type::unknown);
    EXPECT_EQ(ClassOfDevice(2, 4).deviceType, Type::wiredModemOrVoiceGateay);
    EXPECT_EQ(ClassOfDevice(1, 7).deviceType, Type::tablet);
    EXPECT_EQ(ClassOfDevice(1, 3).deviceType, Type::unknown);
    EXPECT_EQ(ClassOfDevice(8, 0).deviceType, Type::unknown);
    EXPECT_EQ(ClassOfDevice(8, 5).deviceType, Type::game);
    // Health numbers outside the table, 0 and 10 included, are uncategorized.
    EXPECT_EQ(ClassOfDevice(9, 0).deviceType, Type::uncategorized);
    EXPECT_EQ(ClassOfDevice(9, 10).deviceType, Type::uncategorized);
    EXPECT_EQ(ClassOfDevice(9, 11).deviceType, Type::medicationMonitor);
    EXPECT_EQ(ClassOfDevice(9, 16).deviceType, Type::uncategorized);
}
