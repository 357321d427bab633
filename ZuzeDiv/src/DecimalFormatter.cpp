#include "ZuzeDiv/DecimalFormatter.hpp"

#include "Foundation/NumberFormatter.hpp"

namespace ZuzeDiv {

std::string DecimalFormatter::string(const NSNumber& number, int fractionDigits) {
    NumberFormatter formatter;
    formatter.setLocale(Locale::current());
    formatter.setMaximumFractionDigits(fractionDigits);
    return formatter.string(number).value_or("");
}

}  // namespace ZuzeDiv
