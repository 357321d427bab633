#include "QuartzCore/TextLayout.hpp"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

// GCC tells of AddressSanitizer by a macro, clang by a feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(QUILLON_ADDRESS_SANITIZER)
// Fontconfig loses a few bytes for good while it parses its configuration files, once per process
// (the first text that is set loads it); the leak checker is told to look past that.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace {
// One font map and Pango context per thread (Pango's font maps are not shared between threads),
// set up for stable metrics and released when the thread ends.
PangoContext* pangoContext() {
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
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(context, FALSE);
        return Holder{fontMap, context};
    }();
    return holder.context;
}

PangoFontDescription* describe(const TextStyle& style) {
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, style.family.c_str());
    pango_font_description_set_weight(font, static_cast<PangoWeight>(std::clamp(style.weight, 100, 1000)));
    pango_font_description_set_style(font, style.italic ? PANGO_STYLE_OBLIQUE : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(font, std::max<CGFloat>(style.size, 0.01) * PANGO_SCALE);
    return font;
}

guint16 channel(CGFloat value) { return static_cast<guint16>(std::clamp<CGFloat>(value, 0, 1) * 65535.0 + 0.5); }
}  // namespace

TextStyle TextStyle::named(const std::string& fontName, CGFloat size, const CGColor& color) {
    static const std::map<std::string, std::string> families = {
        {"DejaVuSans", "DejaVu Sans"}, {"DejaVuSansMono", "DejaVu Sans Mono"}, {"DejaVuSerif", "DejaVu Serif"},
        {"DejaVuSansCondensed", "DejaVu Sans Condensed"}};
    TextStyle style;
    style.size = size;
    style.color = color;
    auto dash = fontName.find('-');
    std::string family = fontName.substr(0, dash);
    std::string face = dash == std::string::npos ? "" : fontName.substr(dash + 1);
    auto known = families.find(family);
    style.family = known != families.end() ? known->second : (family.empty() ? "DejaVu Sans" : family);
    // Face names as fonts spell them; the longer names are looked for before the ones they hold.
    static const std::pair<const char*, int> weights[] = {{"ExtraLight", 200}, {"Semibold", 600}, {"SemiBold", 600},
                                                          {"Thin", 100},       {"Light", 300},    {"Medium", 500},
                                                          {"Bold", 700},       {"Heavy", 800},    {"Black", 900}};
    for (const auto& [name, weight] : weights) {
        if (face.find(name) != std::string::npos) {
            style.weight = weight;
            break;
        }
    }
    style.italic = face.find("Oblique") != std::string::npos || face.find("Italic") != std::string::npos;
    return style;
}

TextLayout::TextLayout(const std::vector<TextRun>& runs, TextAlignment alignment, std::optional<CGFloat> wrapWidth,
                       TextTruncation truncation)
    : layout_(pango_layout_new(pangoContext())), alignment_(alignment), wraps_(wrapWidth.has_value()) {
    std::string text;
    PangoAttrList* attributes = pango_attr_list_new();
    for (const auto& run : runs) {
        auto start = static_cast<guint>(text.size());
        text += run.text;
        auto end = static_cast<guint>(text.size());
        PangoFontDescription* font = describe(run.style);
        PangoAttribute* fontAttribute = pango_attr_font_desc_new(font);
        pango_font_description_free(font);
        const CGColor& c = run.style.color;
        PangoAttribute* colorAttribute = pango_attr_foreground_new(channel(c.red), channel(c.green), channel(c.blue));
        PangoAttribute* alphaAttribute = pango_attr_foreground_alpha_new(channel(c.alpha));
        for (PangoAttribute* a : {fontAttribute, colorAttribute, alphaAttribute}) {
            a->start_index = start;
            a->end_index = end;
            pango_attr_list_insert(attributes, a);
        }
    }
    if (!runs.empty()) {
        PangoFontDescription* font = describe(runs.front().style);
        pango_layout_set_font_description(layout_, font);
        pango_font_description_free(font);
    }
    pango_layout_set_text(layout_, text.c_str(), static_cast<int>(text.size()));
    pango_layout_set_attributes(layout_, attributes);
    pango_attr_list_unref(attributes);
    if (wrapWidth) {
        pango_layout_set_width(layout_, static_cast<int>(std::max<CGFloat>(*wrapWidth, 0) * PANGO_SCALE));
        if (truncation == TextTruncation::none) {
            pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
        } else {
            pango_layout_set_ellipsize(layout_, truncation == TextTruncation::head     ? PANGO_ELLIPSIZE_START
                                                : truncation == TextTruncation::middle ? PANGO_ELLIPSIZE_MIDDLE
                                                                                       : PANGO_ELLIPSIZE_END);
        }
    }
    pango_layout_set_justify(layout_, alignment == TextAlignment::justified);
    pango_layout_set_alignment(layout_, alignment == TextAlignment::center  ? PANGO_ALIGN_CENTER
                                        : alignment == TextAlignment::right ? PANGO_ALIGN_RIGHT
                                                                            : PANGO_ALIGN_LEFT);
}

TextLayout::~TextLayout() { g_object_unref(layout_); }

CGSize TextLayout::size() const {
    PangoRectangle logical;
    pango_layout_get_extents(layout_, nullptr, &logical);
    return {CGFloat(logical.width) / PANGO_SCALE, CGFloat(logical.height) / PANGO_SCALE};
}

CGFloat TextLayout::firstBaseline() const { return CGFloat(pango_layout_get_baseline(layout_)) / PANGO_SCALE; }

void TextLayout::draw(CGContext& context, const CGRect& rect) const {
    CGRect r = rect.standardized();
    PangoRectangle logical;
    pango_layout_get_extents(layout_, nullptr, &logical);
    // With a wrap width Pango aligns the lines within it; without one it aligns them against the
    // longest line, and the whole block is placed in the rectangle here.
    CGFloat dx = 0;
    if (!wraps_) {
        CGFloat room = r.width() - CGFloat(logical.width) / PANGO_SCALE;
        if (alignment_ == TextAlignment::center) dx += room / 2;
        if (alignment_ == TextAlignment::right) dx += room;
    }
    CGContext::DrawingScope scope(context);
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    if (context.isYAxisUp()) {
        cairo_translate(cr, r.minX(), r.maxY());
        cairo_scale(cr, 1, -1);
    } else {
        cairo_translate(cr, r.minX(), r.minY());
    }
    cairo_move_to(cr, dx, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    pango_cairo_show_layout(cr, layout_);
    cairo_new_path(cr);
    cairo_restore(cr);
}

TextMetrics TextLayout::metrics(const TextStyle& style) {
    PangoFontDescription* font = describe(style);
    PangoFontMetrics* m = pango_context_get_metrics(pangoContext(), font, nullptr);
    TextMetrics result{CGFloat(pango_font_metrics_get_ascent(m)) / PANGO_SCALE,
                       CGFloat(pango_font_metrics_get_descent(m)) / PANGO_SCALE,
                       CGFloat(pango_font_metrics_get_height(m)) / PANGO_SCALE};
    if (result.lineHeight <= 0) result.lineHeight = result.ascent + result.descent;
    pango_font_metrics_unref(m);
    pango_font_description_free(font);
    return result;
}

CGFloat TextLayout::capHeight(const TextStyle& style) {
    thread_local std::map<std::pair<std::string, int>, CGFloat> perPoint;
    auto key = std::make_pair(style.family, style.weight);
    auto it = perPoint.find(key);
    if (it == perPoint.end()) {
        constexpr CGFloat size = 1000;  // large, so that rounding to Pango units does not show
        TextStyle large = style;
        large.size = size;
        large.italic = false;
        PangoFontDescription* font = describe(large);
        PangoLayout* layout = pango_layout_new(pangoContext());
        pango_layout_set_font_description(layout, font);
        pango_layout_set_text(layout, "H", -1);
        PangoRectangle ink{};
        pango_layout_get_extents(layout, &ink, nullptr);
        const double baseline = pango_layout_get_baseline(layout);
        g_object_unref(layout);
        pango_font_description_free(font);
        it = perPoint.emplace(key, std::max(0.0, (baseline - ink.y) / PANGO_SCALE / size)).first;
    }
    return it->second * style.size;
}
