#include "ZododuvoZoz/StringExtensions.hpp"

namespace ZododuvoZoz {

const std::string& emptyString() {
    static const std::string empty;
    return empty;
}

}  // namespace ZododuvoZoz
