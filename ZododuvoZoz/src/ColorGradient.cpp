#include "ZododuvoZoz/ColorGradient.hpp"

#include "ZododuvoZoz/Colors.hpp"

namespace ZododuvoZoz {

ColorGradient::ColorGradient(const std::shared_ptr<NSColor>& start, const std::shared_ptr<NSColor>& end)
    : mColors{start, end}, start(start), end(end) {}

ColorGradient::ColorGradient(const std::vector<std::shared_ptr<NSColor>>& colors) {
    if (colors.empty()) {
        mColors = {Colors::teal(), Colors::cyan()};
        start = Colors::teal();
        end = Colors::cyan();
        return;
    }
    mColors = colors;
    start = colors.front();
    end = colors.back();
}

std::vector<std::shared_ptr<NSColor>> ColorGradient::colors(CGFloat startAlpha, CGFloat endAlpha) const {
    return {start->withAlphaComponent(startAlpha), end->withAlphaComponent(endAlpha)};
}

std::vector<std::shared_ptr<NSColor>> ColorGradient::fadedColors() const {
    std::size_t n = mColors.size();
    if (n == 2) return {start->withAlphaComponent(0.75), end->withAlphaComponent(0.2)};
    std::vector<std::shared_ptr<NSColor>> faded;
    for (std::size_t i = 0; i < n; ++i) {
        faded.push_back(mColors[i]->withAlphaComponent(0.9 - static_cast<CGFloat>(i) * (0.7 / static_cast<CGFloat>(n))));
    }
    return faded;
}

}  // namespace ZododuvoZoz
