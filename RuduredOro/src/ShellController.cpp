#include "RuduredOro/ShellController.hpp"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

#include "RuduredOro/DoubleBatteryDevice.hpp"
#include "RuduredOro/Resources.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"
#include "Text.hpp"

namespace RuduredOro {

using ZuzaduduRez::OutputNode;

namespace {

std::optional<std::string> text(const OutputNode& node, const std::string& key) {
    return node.properties->value<std::string>(key);
}

std::string removingAll(std::string text, const std::string& piece) {
    for (auto found = text.find(piece); found != std::string::npos; found = text.find(piece, found)) text.erase(found, piece.size());
    return text;
}

/// A whole number of type T in that radix, the whole text being one optional sign and digits
/// (either letter case); absent when the text is empty, holds anything else or is out of range.
template <class T>
std::optional<T> parseInteger(const std::string& text, int radix) {
    std::size_t index = 0;
    bool negative = false;
    if (index < text.size() && (text[index] == '+' || text[index] == '-')) negative = text[index++] == '-';
    if (index == text.size()) return std::nullopt;
    // The largest magnitude the type holds with that sign (only zero below zero when unsigned),
    // checked as the digits come.
    std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
    if (negative) limit = std::is_signed_v<T> ? limit + 1 : 0;
    std::uint64_t magnitude = 0;
    for (; index < text.size(); ++index) {
        char c = text[index];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'z' ? c - 'a' + 10
                    : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                                           : radix;
        if (digit >= radix) return std::nullopt;
        if (magnitude > (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(radix)) return std::nullopt;
        magnitude = magnitude * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
    }
    if (!negative || magnitude == 0) return static_cast<T>(magnitude);
    if constexpr (std::is_signed_v<T>) return static_cast<T>(-static_cast<std::int64_t>(magnitude - 1) - 1);
    return std::nullopt;
}

/// A number in hexadecimal, with every "0x" removed first.
template <class T>
std::optional<T> hexNumber(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return parseInteger<T>(removingAll(*text, "0x"), 16);
}

/// A level such as "80%" or "75 %": every "%" removed, blanks and tabs trimmed, 0 to 100.
std::optional<std::uint8_t> level(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    auto digits = removingAll(*text, "%");
    auto start = digits.find_first_not_of(" \t");
    if (start == std::string::npos) return std::nullopt;
    auto end = digits.find_last_not_of(" \t");
    auto percent = parseInteger<std::uint8_t>(digits.substr(start, end - start + 1), 10);
    if (percent && *percent > 100) return std::nullopt;
    return percent;
}

/// The address in lower case with "-" between its parts, as the other finders give serials.
std::string serial(const std::string& address) {
    auto result = lowercased(address);
    for (auto& c : result) {
        if (c == ':') c = '-';
    }
    return result;
}

/// A "Connected" text of the node's own says so unless it is "No"; without one, the heading it
/// stands under does.
bool isConnected(const OutputNode& node) {
    if (auto connected = text(node, "Connected")) return *connected != "No";
    return node.parent && node.parent->name.starts_with("Connected");
}

}  // namespace

ShellController::ShellController()
    : controller_(std::make_shared<ZuzaduduRez::ProfilerController>(ZuzaduduRez::Services::bluetooth())) {}

void ShellController::refresh() {
    devices_.clear();
    auto tree = controller_->run();
    parse(tree->nodes);
    tree->clear();
}

void ShellController::parse(const std::vector<std::shared_ptr<OutputNode>>& nodes) {
    // Depth first, each node before its children, without recursion: a report's headings can
    // nest as deep as it has lines.
    std::vector<std::shared_ptr<OutputNode>> pending(nodes.rbegin(), nodes.rend());
    while (!pending.empty()) {
        auto node = std::move(pending.back());
        pending.pop_back();
        const auto& properties = *node->properties;
        if (properties.has("Battery Level")) addSingleDevice(*node);
        if (properties.has("Case Battery Level")) addCaseDevice(*node);
        if (properties.has("Left Battery Level") || properties.has("Right Battery Level")) addDoubleDevice(*node);
        pending.insert(pending.end(), node->children.rbegin(), node->children.rend());
    }
}

void ShellController::addSingleDevice(const OutputNode& node) {
    if (!isConnected(node)) return;
    auto address = text(node, "Address");
    auto levelText = text(node, "Battery Level");
    if (!address || !levelText) return;
    auto vendorId = hexNumber<std::uint16_t>(text(node, "Vendor ID")).value_or(0);
    auto productId = hexNumber<std::int64_t>(text(node, "Product ID")).value_or(0);
    auto percent = level(levelText);
    if (!percent) return;
    devices_.push_back(std::make_shared<SingleBatteryDevice>(node.name, serial(*address), vendorId, productId, *percent,
                                                             text(node, "Minor Type")));
}

void ShellController::addCaseDevice(const OutputNode& node) {
    if (!isConnected(node)) return;
    auto address = text(node, "Address");
    auto vendorId = hexNumber<std::uint16_t>(text(node, "Vendor ID"));
    auto productId = hexNumber<std::int64_t>(text(node, "Product ID"));
    auto percent = level(text(node, "Case Battery Level"));
    if (!address || !vendorId || !productId || !percent) return;
    devices_.push_back(std::make_shared<SingleBatteryDevice>(Resources::localized("CHARGING_CASE"), "case_" + serial(*address),
                                                             *vendorId, *productId, *percent,
                                                             DeviceType(DeviceType::chargingCase).rawValue()));
}

void ShellController::addDoubleDevice(const OutputNode& node) {
    if (!isConnected(node)) return;
    auto address = text(node, "Address");
    auto vendorText = text(node, "Vendor ID");
    auto productText = text(node, "Product ID");
    if (!address || !vendorText || !productText) return;
    auto left = text(node, "Left Battery Level");
    auto right = text(node, "Right Battery Level");
    if (!left && !right) return;
    auto vendorId = hexNumber<std::uint16_t>(vendorText);
    auto productId = hexNumber<std::int64_t>(productText);
    if (!vendorId || !productId) return;
    devices_.push_back(std::make_shared<DoubleBatteryDevice>(node.name, serial(*address), *vendorId, *productId, level(left),
                                                             level(right), text(node, "Minor Type")));
}

}  // namespace RuduredOro
