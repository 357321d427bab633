#pragma once
// Comparison of texts as the platform's strings compare them.
#include <string>

enum class ComparisonResult { orderedAscending = -1, orderedSame = 0, orderedDescending = 1 };

/// Compares byte by byte, except that runs of decimal digits compare by their numeric value
/// ("1.9" before "1.10"). Of two runs with the same value, the one with fewer leading zeros
/// orders first only when the rest of the texts are the same.
ComparisonResult compareNumeric(const std::string& left, const std::string& right);
