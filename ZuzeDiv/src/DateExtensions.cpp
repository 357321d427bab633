#include "ZuzeDiv/DateExtensions.hpp"

#include "Foundation/Date.hpp"

namespace ZuzeDiv {

double currentTimestamp() { return Date().timeIntervalSince1970(); }

}  // namespace ZuzeDiv
