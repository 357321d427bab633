#pragma once
// Byte counts as short texts: "Zero KB", "1 byte", "512 bytes", "12 KB", "1.5 MB", "2.25 GB".
// The file and decimal styles count in thousands, the memory and binary styles in 1024s. Kilobytes
// are whole, megabytes have up to one fraction digit and larger units up to two; a count that
// rounds up to a full next unit is written in that unit. Numbers follow the current locale.
#include <cstdint>
#include <string>

class ByteCountFormatter {
public:
    enum class CountStyle { file = 0, memory = 1, decimal = 2, binary = 3 };

    static std::string string(std::int64_t byteCount, CountStyle style);
};
