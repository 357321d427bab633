#include "IOKit/HIDReportDescriptor.hpp"

namespace {

// Item types and tags of the short-item format.
constexpr unsigned mainItem = 0, globalItem = 1, localItem = 2;
constexpr unsigned collectionTag = 0xA, endCollectionTag = 0xC, usagePageTag = 0x0, usageTag = 0x0;
constexpr std::uint8_t longItemPrefix = 0xFE;
constexpr std::uint32_t applicationCollection = 0x01;

constexpr std::uint16_t pointerUsage = 0x01, mouseUsage = 0x02, keyboardUsage = 0x06, keypadUsage = 0x07;
constexpr std::uint16_t touchPadUsage = 0x05;

}  // namespace

std::vector<HIDUsage> HIDReportDescriptor::applicationUsages(const Data& descriptor) {
    std::vector<HIDUsage> found;
    std::uint16_t usagePage = 0;
    std::vector<HIDUsage> usages;  // local usages since the last main item
    int depth = 0;
    std::size_t position = 0;
    while (position < descriptor.size()) {
        std::uint8_t prefix = descriptor[position];
        if (prefix == longItemPrefix) {
            // Long item: prefix, data size, tag, data. Nothing here uses them.
            if (position + 1 >= descriptor.size()) break;
            position += 3 + std::size_t{descriptor[position + 1]};
            continue;
        }
        std::size_t size = prefix & 0x3;
        if (size == 3) size = 4;
        unsigned type = (prefix >> 2) & 0x3;
        unsigned tag = prefix >> 4;
        if (position + 1 + size > descriptor.size()) break;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t{descriptor[position + 1 + i]} << (8 * i);
        position += 1 + size;

        if (type == globalItem && tag == usagePageTag) {
            usagePage = static_cast<std::uint16_t>(value);
        } else if (type == localItem && tag == usageTag) {
            // A four-byte usage carries its own page in the upper half.
            if (size == 4) {
                usages.push_back({static_cast<std::uint16_t>(value >> 16), static_cast<std::uint16_t>(value)});
            } else {
                usages.push_back({usagePage, static_cast<std::uint16_t>(value)});
            }
        } else if (type == mainItem) {
            if (tag == collectionTag) {
                if (depth == 0 && value == applicationCollection && !usages.empty()) found.push_back(usages.front());
                ++depth;
            } else if (tag == endCollectionTag) {
                if (depth > 0) --depth;
            }
            usages.clear();
        }
    }
    return found;
}

std::optional<std::string> HIDReportDescriptor::defaultBehavior(const Data& descriptor) {
    auto usages = applicationUsages(descriptor);
    for (const auto& usage : usages) {
        if (usage.page == genericDesktopPage && (usage.usage == keyboardUsage || usage.usage == keypadUsage)) {
            return "Keyboard";
        }
        if (usage.page == genericDesktopPage && (usage.usage == mouseUsage || usage.usage == pointerUsage)) return "Mouse";
        if (usage.page == digitizerPage && usage.usage == touchPadUsage) return "Trackpad";
    }
    if (usages.empty()) return std::nullopt;
    return "undefined";
}
