#include "CoreImage/CIFilter.hpp"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {
double smoothstep(double x) { return x * x * (3 - 2 * x); }

// A logistic curve through (0, 0), (0.5, 0.5) and (1, 1).
double sCurve(double x, double steepness) {
    auto f = [&](double v) { return 1 / (1 + std::exp(-steepness * (v - 0.5))); };
    return (f(x) - f(0)) / (f(1) - f(0));
}

double tone(CIFilter::Effect effect, double luminance) {
    switch (effect) {
        case CIFilter::Effect::mono: return luminance;
        case CIFilter::Effect::tonal: return luminance + 0.35 * (smoothstep(luminance) - luminance);
        case CIFilter::Effect::noir: return sCurve(luminance, 10);
    }
    return luminance;
}
}  // namespace

std::shared_ptr<CIFilter> CIFilter::named(const std::string& name) {
    if (name == "CIPhotoEffectMono") return std::make_shared<CIFilter>(name, Effect::mono);
    if (name == "CIPhotoEffectTonal") return std::make_shared<CIFilter>(name, Effect::tonal);
    if (name == "CIPhotoEffectNoir") return std::make_shared<CIFilter>(name, Effect::noir);
    return nullptr;
}

void CIFilter::setValue(const std::shared_ptr<CIImage>& image, const std::string& key) {
    if (key == kCIInputImageKey) input_ = image;
}

std::shared_ptr<CIImage> CIFilter::outputImage() const {
    if (!input_ || !input_->bitmap()) return nullptr;
    auto output = CGImage::copying(input_->bitmap()->surface());
    if (!output) return nullptr;
    cairo_surface_t* surface = output->surface();
    cairo_surface_flush(surface);
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface));
    for (std::size_t y = 0; y < output->height(); ++y) {
        for (std::size_t x = 0; x < output->width(); ++x) {
            unsigned char* p = pixels + y * stride + 4 * x;
            std::uint32_t argb;
            std::memcpy(&argb, p, 4);
            double a = (argb >> 24) / 255.0;
            if (a <= 0) continue;
            // Work on the colour without its alpha, then premultiply again.
            double r = ((argb >> 16) & 0xFF) / 255.0 / a, g = ((argb >> 8) & 0xFF) / 255.0 / a, b = (argb & 0xFF) / 255.0 / a;
            double luminance = std::clamp(0.2126 * r + 0.7152 * g + 0.0722 * b, 0.0, 1.0);
            auto grey = static_cast<std::uint32_t>(std::lround(std::clamp(tone(effect_, luminance), 0.0, 1.0) * a * 255.0));
            argb = (argb & 0xFF000000u) | grey << 16 | grey << 8 | grey;
            std::memcpy(p, &argb, 4);
        }
    }
    cairo_surface_mark_dirty(surface);
    return std::make_shared<CIImage>(output);
}
