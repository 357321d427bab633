#include "Foundation/NSNumber.hpp"

#include <charconv>

double NSNumber::doubleValue() const {
    return std::visit([](auto value) { return static_cast<double>(value); }, value_);
}

std::string NSNumber::decimalText() const {
    if (auto* real = std::get_if<double>(&value_)) {
        char buffer[64];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, *real);
        return std::string(buffer, result.ptr);
    }
    return std::visit([](auto value) { return std::to_string(value); }, value_);
}
