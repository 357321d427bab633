#pragma once
// Images: a size in points and one drawable representation (a bitmap, or vector artwork drawn
// at whatever size it is asked for). Template images are masks that the drawing code colours.
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSFont.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "Foundation/Data.hpp"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

/// One way of drawing an image's content into a rectangle of a Cairo context.
class NSImageRep {
public:
    virtual ~NSImageRep() = default;
    /// The natural size in points.
    virtual CGSize size() const = 0;
    /// Draws the whole content scaled into `rect` (user space of the context, y down).
    virtual void draw(cairo_t* context, const CGRect& rect) const = 0;
};

class NSImage : public std::enable_shared_from_this<NSImage> {
public:
    struct SymbolConfiguration {
        CGFloat pointSize = 0;
        NSFont::Weight weight;
        bool operator==(const SymbolConfiguration&) const = default;
    };

    explicit NSImage(CGSize size, std::shared_ptr<const NSImageRep> representation = nullptr);

    /// An image from a PNG or SVG file; nullptr when the file cannot be read.
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

    /// A symbol image with the configuration applied (its size follows the point size);
    /// nullptr for an image that is no symbol.
    std::shared_ptr<NSImage> withSymbolConfiguration(const SymbolConfiguration& configuration) const;
    std::shared_ptr<NSImage> copy() const;

    /// Draws into `rect` of a Cairo context whose y grows downwards, with the given opacity.
    void draw(cairo_t* context, const CGRect& rect, CGFloat fraction = 1.0) const;
    /// The image rendered into a premultiplied ARGB bitmap of size × scale pixels (caller owns it).
    cairo_surface_t* renderedSurface(CGFloat scale = 1.0) const;
    /// PNG bytes of the image rendered at `scale`; empty for an image without content.
    Data pngData(CGFloat scale = 1.0) const;

private:
    CGSize size_;
    std::shared_ptr<const NSImageRep> representation_;
    bool template_ = false;
    std::optional<std::string> symbolName_;
    std::optional<SymbolConfiguration> symbolConfiguration_;
    std::optional<std::string> accessibilityDescription_;
};
