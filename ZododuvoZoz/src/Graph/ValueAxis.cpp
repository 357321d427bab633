#include "ZododuvoZoz/Graph/ValueAxis.hpp"

#include <cctype>
#include <cstdio>

#include "AxisLabels.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {
namespace {
/// Whether the format asks for at most one floating-point number (flags, width and precision
/// allowed, "%%" for a percent sign) and nothing else: only such a format may be given a double.
bool formatsOneDouble(const std::string& format) {
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (++i < format.size() && format[i] == '%') continue;
        while (i < format.size() && std::string_view("-+ #0").find(format[i]) != std::string_view::npos) ++i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
        }
        if (i < format.size() && format[i] == 'l') ++i;
        if (i >= format.size() || std::string_view("fFeEgGaA").find(format[i]) == std::string_view::npos) return false;
        ++conversions;
    }
    return conversions <= 1;
}

std::string formatted(const std::string& format, double value) {
    const char* pattern = formatsOneDouble(format) ? format.c_str() : "%.2f";
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int length = std::snprintf(nullptr, 0, pattern, value);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, value);
#pragma GCC diagnostic pop
    return text;
}
}  // namespace

void ValueAxis::clear() { ZuzeDiv::removeAllFromSuperlayer(layers_); }

void ValueAxis::layout(const std::shared_ptr<CALayer>& layer, CGFloat) {
    ZuzeDiv::removeAllFromSuperlayer(layers_);
    if (formatString_.empty() || !(max_ > 0) || !(min_ < max_) || !layer) return;
    const CGSize within = layer->frame().size;
    const CGFloat w = layer->frame().width();
    const auto font = NSFont::systemFont(fontSize_, fontWeight_);
    auto place = [&](double value, auto x) {
        const std::string text = valueText(value);
        const CGSize size = AxisLabels::measure(text, font, within);
        addLabel(x(size.width), size.width, size.height, layer, font, text);
    };
    place(min_, [](CGFloat) { return CGFloat(4); });
    place(max_, [&](CGFloat tw) { return w - tw - 4; });
    const int n = segmentCount_;
    for (int k = 1; k < n; ++k) {
        place(min_ + (max_ - min_) / n * k, [&](CGFloat tw) { return w / n * k - tw / 2; });
    }
}

void ValueAxis::addLabel(CGFloat x, CGFloat width, CGFloat height, const std::shared_ptr<CALayer>& layer,
                         const std::shared_ptr<NSFont>& font, const std::string& text) {
    auto label = AxisLabels::label(text, font, NSColor::secondaryLabelColor(), CATextLayerAlignmentMode::center);
    label->setFrame({x, layer->bounds().height() - 12 - height / 2, width, height});
    layer->addSublayer(label);
    layers_.push_back(label);
}

std::string ValueAxis::valueText(double value) const {
    if (formatType_ == ValueAxisFormatType::monthShortName) return AxisLabels::monthName(value);
    std::string text = formatted(formatString_, value);
    return unit_ ? text + " " + *unit_ : text;
}

}  // namespace ZododuvoZoz
