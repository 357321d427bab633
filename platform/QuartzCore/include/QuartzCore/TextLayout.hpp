#pragma once
// Text set with Pango in DejaVu fonts at 72 units per inch (one unit per point, unhinted, so sizes
// do not depend on the screen): runs of styled text, aligned, optionally wrapped to a width.
// Text layers, fonts and attributed strings measure and draw through it.
#include <optional>
#include <string>
#include <vector>

#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "QuartzCore/TextStyle.hpp"

typedef struct _PangoLayout PangoLayout;

struct TextRun {
    std::string text;
    TextStyle style;
};

enum class TextAlignment { natural, left, right, center, justified };

/// Where a line too long for its width is cut and shows an ellipsis.
enum class TextTruncation { none, head, middle, tail };

struct TextMetrics {
    CGFloat ascent = 0;
    CGFloat descent = 0;
    CGFloat lineHeight = 0;
};

class TextLayout {
public:
    /// Lines break at newlines, and at word boundaries when a wrap width is given; with a
    /// truncation, a line wider than that width is instead cut there with an ellipsis.
    TextLayout(const std::vector<TextRun>& runs, TextAlignment alignment = TextAlignment::natural,
               std::optional<CGFloat> wrapWidth = std::nullopt, TextTruncation truncation = TextTruncation::none);
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    /// The width of the longest line and the height of all lines.
    CGSize size() const;
    /// The distance from the top of the first line to its baseline.
    CGFloat firstBaseline() const;
    /// Draws the text with its first line at the top of the rectangle as seen on screen (the
    /// larger y where y grows upwards), aligned within the rectangle's width.
    void draw(CGContext& context, const CGRect& rect) const;

    /// Ascent, descent and line height of a style's font.
    static TextMetrics metrics(const TextStyle& style);
    /// The cap height of a style's font: the ink top of "H" above the baseline, measured once per
    /// family and weight.
    static CGFloat capHeight(const TextStyle& style);

private:
    PangoLayout* layout_;
    TextAlignment alignment_;
    bool wraps_;
};
