// Metrics of a font that the text layout does not give: measured from the glyphs themselves.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <map>
#include <utility>

#include "AppKit/NSFont.hpp"

namespace {
// A Pango context per thread, unhinted at 72 units per inch, as text is set everywhere.
PangoContext* measuringContext() {
    struct Holder {
        PangoFontMap* fontMap;
        PangoContext* context;
        ~Holder() {
            g_object_unref(context);
            g_object_unref(fontMap);
        }
    };
    thread_local Holder holder = [] {
        PangoFontMap* fontMap = pango_cairo_font_map_new();
        PangoContext* context = pango_font_map_create_context(fontMap);
        pango_cairo_context_set_resolution(context, 72);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        return Holder{fontMap, context};
    }();
    return holder.context;
}

// The cap height of a family and weight for one point of size: the ink top of "H" above the
// baseline, measured once at a large size.
CGFloat capHeightPerPoint(const std::string& family, int weight) {
    thread_local std::map<std::pair<std::string, int>, CGFloat> measured;
    auto key = std::make_pair(family, weight);
    if (auto it = measured.find(key); it != measured.end()) return it->second;
    constexpr double size = 1000;
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, family.c_str());
    pango_font_description_set_weight(font, static_cast<PangoWeight>(std::clamp(weight, 100, 1000)));
    pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
    PangoLayout* layout = pango_layout_new(measuringContext());
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, "H", -1);
    PangoRectangle ink{};
    pango_layout_get_extents(layout, &ink, nullptr);
    const double baseline = pango_layout_get_baseline(layout);
    g_object_unref(layout);
    pango_font_description_free(font);
    const CGFloat perPoint = std::max(0.0, (baseline - ink.y) / PANGO_SCALE / size);
    measured[key] = perPoint;
    return perPoint;
}
}  // namespace

CGFloat NSFont::capHeight() const { return capHeightPerPoint(style_.family, style_.weight) * style_.size; }
