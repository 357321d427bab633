#include "ZuzeDiv/StringExtensions.hpp"

namespace ZuzeDiv {

const std::string& emptyString() {
    static const std::string empty;
    return empty;
}

}  // namespace ZuzeDiv
