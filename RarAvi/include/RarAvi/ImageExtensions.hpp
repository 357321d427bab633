#pragma once
// Image conversions: resizing, rounding, tinting, symbol colours, photo effects and PNG. None
// changes the image it is given.
#include <memory>
#include <optional>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/URL.hpp"
#include "RarAvi/PhotoEffect.hpp"
#include "ZuzeDiv/ImageExtensions.hpp"

namespace RarAvi {

/// How writePNG writes its file: through a temporary file that replaces the target, and/or not
/// over an existing file.
struct DataWritingOptions {
    bool atomic = false;
    bool withoutOverwriting = false;
};

/// One shared empty image.
std::shared_ptr<NSImage> emptyImage();
/// The image drawn into a new image of the size, with high-quality interpolation.
using ZuzeDiv::resized;
/// The same, at the height with the width keeping the proportions (width 0 for an image of no
/// height).
std::shared_ptr<NSImage> resized(const NSImage& image, CGFloat toHeight);
/// The image inside a rounded rectangle of its own size.
std::shared_ptr<NSImage> rounded(const NSImage& image, CGFloat xRadius, CGFloat yRadius);
/// A template image painted in the colour (a copy that is no longer a template); any other image
/// is returned itself.
using ZuzeDiv::tinted;
/// Tinted with the system's accent colour.
std::shared_ptr<NSImage> accentTinted(const std::shared_ptr<NSImage>& image);
/// A symbol drawn in the colour (from system version 12); otherwise the image itself.
std::shared_ptr<NSImage> withHierarchicalColor(const std::shared_ptr<NSImage>& image, const std::shared_ptr<NSColor>& color);
/// The image through the effect's filter, at the image's size; nothing when a step fails.
std::shared_ptr<NSImage> applying(const NSImage& image, PhotoEffect effect);
/// The image as PNG bytes; nothing for an image without content.
std::optional<Data> pngData(const NSImage& image);
/// Writes the PNG bytes to a file address; writes nothing without bytes, and ignores failures.
void writePNG(const NSImage& image, const URL& url, DataWritingOptions options = {});

}  // namespace RarAvi
