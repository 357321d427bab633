#pragma once
// A byte buffer, as the platform's data value.
#include <cstdint>
#include <string>
#include <vector>

using Data = std::vector<std::uint8_t>;

inline Data dataFromString(const std::string& text) { return Data(text.begin(), text.end()); }
inline std::string stringFromData(const Data& data) { return std::string(data.begin(), data.end()); }
