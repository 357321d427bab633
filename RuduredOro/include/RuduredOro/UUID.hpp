#pragma once
// The module's identifier objects. A battery device carries a new, empty one as its `id`: a token
// whose only meaning is its own identity (compare the pointers), distinct from the device's serial.
// The module's own `UUID` lives in its namespace and is a different type from the platform's
// global `::UUID` (the 128-bit identifier with its text form).
#include <memory>

namespace RuduredOro {

class UUID {
public:
    UUID() = default;
    UUID(const UUID&) = delete;
    UUID& operator=(const UUID&) = delete;
};

}  // namespace RuduredOro
