// Metrics of a font measured from its glyphs.
#include "AppKit/NSFont.hpp"
#include "QuartzCore/TextLayout.hpp"

CGFloat NSFont::capHeight() const { return TextLayout::capHeight(style_); }
