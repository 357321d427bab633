#include "Foundation/StringCompare.hpp"

#include <cctype>

namespace {
bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
}

ComparisonResult compareNumeric(const std::string& left, const std::string& right) {
    std::size_t i = 0, j = 0;
    int zerosTieBreak = 0;
    while (i < left.size() && j < right.size()) {
        if (digit(left[i]) && digit(right[j])) {
            std::size_t si = i, sj = j;
            while (si < left.size() && left[si] == '0') ++si;
            while (sj < right.size() && right[sj] == '0') ++sj;
            std::size_t ei = si, ej = sj;
            while (ei < left.size() && digit(left[ei])) ++ei;
            while (ej < right.size() && digit(right[ej])) ++ej;
            std::size_t lengthLeft = ei - si, lengthRight = ej - sj;
            if (lengthLeft != lengthRight)
                return lengthLeft < lengthRight ? ComparisonResult::orderedAscending : ComparisonResult::orderedDescending;
            for (std::size_t k = 0; k < lengthLeft; ++k) {
                if (left[si + k] != right[sj + k])
                    return left[si + k] < right[sj + k] ? ComparisonResult::orderedAscending
                                                        : ComparisonResult::orderedDescending;
            }
            if (zerosTieBreak == 0 && (si - i) != (sj - j)) zerosTieBreak = (si - i) < (sj - j) ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        auto a = static_cast<unsigned char>(left[i]), b = static_cast<unsigned char>(right[j]);
        if (a != b) return a < b ? ComparisonResult::orderedAscending : ComparisonResult::orderedDescending;
        ++i;
        ++j;
    }
    if (i < left.size()) return ComparisonResult::orderedDescending;
    if (j < right.size()) return ComparisonResult::orderedAscending;
    if (zerosTieBreak != 0) return zerosTieBreak < 0 ? ComparisonResult::orderedAscending : ComparisonResult::orderedDescending;
    return ComparisonResult::orderedSame;
}
