#pragma once
// Images: a size in points and one drawable representation (a bitmap, or vector artwork drawn
// at whatever size it is asked for). Template images are masks that the drawing code colours.
// Drawing into an image (lockFocus ... unlockFocus) records vector drawing, so the result stays
// sharp at any size.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "Foundation/Data.hpp"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

/// One way of drawing an image's content into a rectangle of a Cairo context.
class NSImageRep {
public:
    virtual ~NSImageRep() = default;
    /// The natural size in points.
    virtual CGSize size() const = 0;
    /// The size in pixels of a bitmap; the size in points for artwork without pixels.
    virtual CGSize pixelSize() const { return size(); }
    /// Draws the whole content scaled into `rect` (user space of the context, y down).
    virtual void draw(cairo_t* context, const CGRect& rect) const = 0;
};

class NSImage : public std::enable_shared_from_this<NSImage> {
public:
    /// How a symbol is drawn: its point size and weight (a point size of 0 leaves the size alone)
    /// and, when set, the colour it is drawn in.
    struct SymbolConfiguration {
        CGFloat pointSize = 0;
        NSFont::Weight weight;
        std::shared_ptr<NSColor> hierarchicalColor;
        bool operator==(const SymbolConfiguration&) const = default;
        /// This configuration with what the other one sets laid over it.
        SymbolConfiguration applying(const SymbolConfiguration& other) const;
    };

    explicit NSImage(CGSize size, std::shared_ptr<const NSImageRep> representation = nullptr);
    /// An empty image of that size, to be drawn into.
    static std::shared_ptr<NSImage> make(CGSize size) { return std::make_shared<NSImage>(size); }
    /// An image showing a bitmap at `size` points.
    static std::shared_ptr<NSImage> fromCGImage(const std::shared_ptr<CGImage>& image, CGSize size);

    /// The largest image file read.
    static constexpr std::size_t maximumFileSize = std::size_t{64} << 20;
    /// An image from a PNG or SVG file; nullptr when the file cannot be read, is no regular file
    /// or is larger than maximumFileSize.
    static std::shared_ptr<NSImage> contentsOfFile(const std::string& path);
    static std::shared_ptr<NSImage> fromData(const Data& data);
    /// The image of that name among the main bundle's resources (".png" or ".svg").
    static std::shared_ptr<NSImage> named(const std::string& name);
    /// A symbol of the system's catalogue; nullptr for a name the running system does not know.
    static std::shared_ptr<NSImage> systemSymbol(const std::string& name,
                                                 const std::optional<std::string>& accessibilityDescription = std::nullopt);
    /// A bitmap image of `pixelsWide` by `pixelsHigh` pixels shown at `size`; takes ownership.
    static std::shared_ptr<NSImage> fromSurface(cairo_surface_t* surface, CGSize size);

    CGSize size() const { return size_; }
    void setSize(CGSize size) { size_ = size; }
    bool isTemplate() const { return template_; }
    void setTemplate(bool isTemplate) { template_ = isTemplate; }
    const std::optional<std::string>& symbolName() const { return symbolName_; }
    const std::optional<SymbolConfiguration>& symbolConfiguration() const { return symbolConfiguration_; }
    const std::optional<std::string>& accessibilityDescription() const { return accessibilityDescription_; }
    const std::shared_ptr<const NSImageRep>& representation() const { return representation_; }
    bool isValid() const { return representation_ != nullptr; }

    /// A symbol image with the configuration laid over its own (its size follows the point size);
    /// nullptr for an image that is no symbol.
    std::shared_ptr<NSImage> withSymbolConfiguration(const SymbolConfiguration& configuration) const;
    std::shared_ptr<NSImage> copy() const;

    /// Makes the image the current graphics context (y up, in points) until unlockFocus; what is
    /// drawn lands on the image's content.
    void lockFocus();
    void unlockFocus();
    /// Draws the part `from` of the image (all of it when empty) upright into `rect` of the current
    /// graphics context.
    void draw(const CGRect& rect, const CGRect& from = CGRect::zero(),
              NSCompositingOperation operation = NSCompositingOperation::sourceOver, CGFloat fraction = 1.0) const;
    void draw(CGPoint at, const CGRect& from = CGRect::zero(),
              NSCompositingOperation operation = NSCompositingOperation::sourceOver, CGFloat fraction = 1.0) const;

    /// Draws into `rect` of a Cairo context whose y grows downwards, with the given opacity.
    void draw(cairo_t* context, const CGRect& rect, CGFloat fraction = 1.0) const;
    /// The image rendered into a premultiplied ARGB bitmap of size × scale pixels (caller owns it).
    cairo_surface_t* renderedSurface(CGFloat scale = 1.0) const;
    /// The image as a bitmap at its own pixel density (a bitmap's pixels, else one pixel per
    /// point); nullptr for an image without content.
    std::shared_ptr<CGImage> cgImage() const;
    /// PNG bytes of the image rendered at `scale` (its own pixel density by default); empty for an
    /// image without content.
    Data pngData(std::optional<CGFloat> scale = std::nullopt) const;

private:
    struct Focus;
    CGFloat nativeScale() const;

    CGSize size_;
    std::shared_ptr<const NSImageRep> representation_;
    bool template_ = false;
    std::optional<std::string> symbolName_;
    std::optional<SymbolConfiguration> symbolConfiguration_;
    std::optional<std::string> accessibilityDescription_;
    std::shared_ptr<Focus> focus_;
};
