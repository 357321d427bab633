#include "ZuzeDiv/ArrayExtensions.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <limits>

namespace ZuzeDiv {

std::vector<float> floatValues(const std::vector<NSNumber>& numbers) {
    std::vector<float> values;
    values.reserve(numbers.size());
    for (const auto& number : numbers) values.push_back(number.floatValue());
    return values;
}

std::vector<URL> sortedByModificationDate(const std::vector<URL>& urls) {
    // Each date is read once; a file that cannot be read counts as the distant past.
    std::vector<std::pair<double, URL>> dated;
    dated.reserve(urls.size());
    for (const auto& url : urls) {
        struct stat info {};
        double date = -std::numeric_limits<double>::infinity();
        if (url.isFileURL() && ::stat(url.path().c_str(), &info) == 0)
            date = static_cast<double>(info.st_mtim.tv_sec) + info.st_mtim.tv_nsec / 1e9;
        dated.emplace_back(date, url);
    }
    std::stable_sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<URL> sorted;
    sorted.reserve(dated.size());
    for (auto& entry : dated) sorted.push_back(std::move(entry.second));
    return sorted;
}

}  // namespace ZuzeDiv
