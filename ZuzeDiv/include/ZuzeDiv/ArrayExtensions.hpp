#pragma once
// Array helpers: chunking, sampling, thinning of series, and detaching layers.
#include <cmath>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "Foundation/NSNumber.hpp"
#include "Foundation/URL.hpp"
#include "QuartzCore/CALayer.hpp"
#include "ZuzeDiv/RamerDouglasPeucker.hpp"

namespace ZuzeDiv {

/// Detaches every layer of the list from its superlayer, in order, then empties the list and lets
/// go of its storage.
template <class Layer>
void removeAllFromSuperlayer(std::vector<std::shared_ptr<Layer>>& layers) {
    for (const auto& layer : layers) {
        if (layer) layer->removeFromSuperlayer();
    }
    std::vector<std::shared_ptr<Layer>>().swap(layers);
}

/// Consecutive runs of `size` elements, in order; the last holds the rest. A negative size gives
/// nothing; a size of 0 is refused (std::invalid_argument).
template <class T>
std::vector<std::vector<T>> chunked(const std::vector<T>& array, long size) {
    if (size == 0) throw std::invalid_argument("chunks of size 0");
    std::vector<std::vector<T>> chunks;
    if (size < 0) return chunks;
    const auto step = static_cast<std::size_t>(size);
    for (std::size_t start = 0; start < array.size(); start += step) {
        const std::size_t end = std::min(start + step, array.size());
        chunks.emplace_back(array.begin() + static_cast<std::ptrdiff_t>(start), array.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return chunks;
}

/// The elements whose index is a multiple of n, in order; n of 0 is refused (std::invalid_argument).
template <class T>
std::vector<T> every(const std::vector<T>& array, long n) {
    if (n == 0) throw std::invalid_argument("every 0th element");
    std::vector<T> kept;
    for (std::size_t i = 0; i < array.size(); ++i) {
        if (static_cast<long>(i) % n == 0) kept.push_back(array[i]);
    }
    return kept;
}

/// The numbers' float values, in order.
std::vector<float> floatValues(const std::vector<NSNumber>& numbers);

/// The series thinned by RamerDouglasPeucker with tolerance 1.0 on the points (index, value);
/// integers come back as they went in.
template <class T>
std::vector<T> simplified(const std::vector<T>& series) {
    static_assert(std::is_arithmetic_v<T>, "series of numbers only");
    std::vector<Point> points;
    points.reserve(series.size());
    for (std::size_t i = 0; i < series.size(); ++i) points.push_back({static_cast<double>(i), static_cast<double>(series[i])});
    std::vector<T> kept;
    for (const auto& point : RamerDouglasPeucker::simplify(points, 1.0)) {
        if constexpr (std::is_integral_v<T>) {
            kept.push_back(static_cast<T>(std::trunc(point.y)));
        } else {
            kept.push_back(static_cast<T>(point.y));
        }
    }
    return kept;
}

/// The file addresses, newest content modification first; files whose date cannot be read come
/// last. Equal dates keep their order.
std::vector<URL> sortedByModificationDate(const std::vector<URL>& urls);

}  // namespace ZuzeDiv
