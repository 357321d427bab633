// HID report descriptors as the kernel hands them over for a device.
#include <cstdint>

#include "IOKit/HIDReportDescriptor.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const Data descriptor(bytes, bytes + size);
    HIDReportDescriptor::applicationUsages(descriptor);
    HIDReportDescriptor::defaultBehavior(descriptor);
    return 0;
}
