#include "ShadowBlur.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// One box blur along a line of `count` values `step` apart, from `in` into `out`.
void boxLine(const float* in, float* out, int count, int step, int radius) {
    const float width = float(2 * radius + 1);
    float sum = 0;
    for (int i = 0; i <= radius && i < count; ++i) sum += in[i * step];
    for (int i = 0; i < count; ++i) {
        out[i * step] = sum / width;
        int entering = i + radius + 1, leaving = i - radius;
        if (entering < count) sum += in[entering * step];
        if (leaving >= 0) sum -= in[leaving * step];
    }
}

}  // namespace

ShadowBlur::ShadowBlur(double sigma) {
    if (!(sigma > 0)) return;
    // Box widths whose three passes give the variance of the Gaussian (Wells, 1986).
    constexpr int passes = 3;
    double ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    int upper = lower + 2;
    double lowerCount = (12 * sigma * sigma - passes * lower * lower - 4 * passes * lower - 3 * passes) / (-4.0 * lower - 4);
    int m = int(std::lround(lowerCount));
    for (int i = 0; i < passes; ++i) radii_.push_back(((i < m ? lower : upper) - 1) / 2);
    std::erase(radii_, 0);
}

int ShadowBlur::reach() const { return std::accumulate(radii_.begin(), radii_.end(), 0); }

void ShadowBlur::apply(unsigned char* alpha, int width, int height, int stride) const {
    if (radii_.empty() || width <= 0 || height <= 0) return;
    std::vector<float> image(std::size_t(width) * std::size_t(height)), scratch(image.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image[std::size_t(y * width + x)] = alpha[y * stride + x];
    }
    for (int radius : radii_) {
        for (int y = 0; y < height; ++y) boxLine(&image[std::size_t(y * width)], &scratch[std::size_t(y * width)], width, 1, radius);
        for (int x = 0; x < width; ++x) boxLine(&scratch[std::size_t(x)], &image[std::size_t(x)], height, width, radius);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            alpha[y * stride + x] = static_cast<unsigned char>(std::clamp(std::lround(image[std::size_t(y * width + x)]), 0L, 255L));
        }
    }
}
