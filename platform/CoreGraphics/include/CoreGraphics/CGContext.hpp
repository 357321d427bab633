#pragma once
// A drawing destination with Core Graphics' conventions: user space starts at the bottom-left
// corner with y growing upwards; colours, line settings, alpha, blend mode, transform and clip form
// a graphics state that is saved and restored as a stack. Drawn by Cairo.
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "CoreGraphics/CGAffineTransform.hpp"
#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "CoreGraphics/CGPath.hpp"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

enum class CGLineCap { butt, round, square };
enum class CGLineJoin { miter, round, bevel };
enum class CGPathFillRule { winding, evenOdd };
enum class CGBlendMode {
    normal, clear, copy, sourceIn, sourceOut, sourceAtop,
    destinationOver, destinationIn, destinationOut, destinationAtop, exclusiveOr, plusLighter
};
enum class CGInterpolationQuality { defaultQuality, none, low, medium, high };
enum class CGColorSpace { deviceRGB, sRGB };
enum class CGImageAlphaInfo { premultipliedLast, premultipliedFirst };

/// How the four bytes of a pixel are laid out: alpha last (RGBA) or first (ARGB), read as bytes
/// in that order, or as a little-endian 32-bit word (so ARGB little-endian is B, G, R, A in memory).
struct CGBitmapInfo {
    CGImageAlphaInfo alpha = CGImageAlphaInfo::premultipliedLast;
    bool byteOrder32Little = false;
};

class CGContext : public std::enable_shared_from_this<CGContext> {
public:
    /// A bitmap context of 8 bits per component over `data` (zeros of its own when null); rows
    /// run from the top of the image. nullptr for a layout it cannot draw (other component sizes,
    /// rows too short, no pixels).
    static std::shared_ptr<CGContext> makeBitmap(void* data, std::size_t width, std::size_t height,
                                                 std::size_t bitsPerComponent, std::size_t bytesPerRow,
                                                 CGColorSpace space, CGBitmapInfo info);
    /// A context on a Cairo surface whose device space is `height` units high with y down (a window
    /// backend's surface, an image being drawn); the surface is referenced, not taken.
    static std::shared_ptr<CGContext> onSurface(cairo_surface_t* surface, CGFloat height);

    ~CGContext();
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    // The bitmap (zero for a context that is not on a bitmap).
    std::size_t width() const { return width_; }
    std::size_t height() const { return height_; }
    std::size_t bytesPerRow() const { return bytesPerRow_; }
    void* data() { return data_; }
    /// A copy of the pixels drawn so far; nullptr for a context that is not on a bitmap.
    std::shared_ptr<CGImage> makeImage() const;

    // The graphics state.
    void saveGState();
    void restoreGState();
    void translateBy(CGFloat x, CGFloat y);
    void scaleBy(CGFloat sx, CGFloat sy);
    void rotate(CGFloat angle);
    void concatenate(const CGAffineTransform& transform);
    /// The transform from user space to the context's base space (device units, y up).
    CGAffineTransform ctm() const;
    /// Whether y grows upwards on screen in the current user space.
    bool isYAxisUp() const;

    void setFillColor(const CGColor& color) { state().fill = color; }
    void setStrokeColor(const CGColor& color) { state().stroke = color; }
    CGColor fillColor() const { return state().fill; }
    CGColor strokeColor() const { return state().stroke; }
    void setLineWidth(CGFloat width) { state().lineWidth = width; }
    CGFloat lineWidth() const { return state().lineWidth; }
    void setLineCap(CGLineCap cap) { state().cap = cap; }
    void setLineJoin(CGLineJoin join) { state().join = join; }
    void setMiterLimit(CGFloat limit) { state().miterLimit = limit; }
    void setLineDash(CGFloat phase, const std::vector<CGFloat>& lengths);
    void setAlpha(CGFloat alpha) { state().alpha = alpha; }
    CGFloat alpha() const { return state().alpha; }
    void setBlendMode(CGBlendMode mode) { state().blendMode = mode; }
    CGBlendMode blendMode() const { return state().blendMode; }
    void setInterpolationQuality(CGInterpolationQuality quality) { state().interpolation = quality; }
    CGInterpolationQuality interpolationQuality() const { return state().interpolation; }
    void setShouldAntialias(bool antialias);

    // The current path, in user space at the time each piece is added.
    void beginPath();
    void addPath(const CGPath& path);
    void addRect(const CGRect& rect);
    bool isPathEmpty() const;
    void fillPath(CGPathFillRule rule = CGPathFillRule::winding);
    void strokePath();
    void clip(CGPathFillRule rule = CGPathFillRule::winding);
    void clip(const CGRect& rect);
    void fill(const CGRect& rect);
    void stroke(const CGRect& rect);
    void clear(const CGRect& rect);
    /// Draws the image upright into the rectangle.
    void draw(const CGImage& image, const CGRect& rect);

    /// Draws what `body` draws (with Cairo) as one piece: limited to `rect`, composited with the
    /// current blend mode and alpha.
    void drawComposited(const CGRect& rect, const std::function<void(cairo_t*)>& body);

    /// Cairo's context, for the platform's own drawing code (layers, text, images); the settings
    /// of the graphics state are applied by the operations above, not kept in it.
    cairo_t* cairo() const { return cairo_; }

    /// Holds changes back from a caller's bitmap until the outermost scope ends; every drawing
    /// operation opens one, and so can code that draws many pieces.
    class DrawingScope {
    public:
        explicit DrawingScope(CGContext& context) : context_(context) { ++context_.drawingDepth_; }
        ~DrawingScope();
        DrawingScope(const DrawingScope&) = delete;
        DrawingScope& operator=(const DrawingScope&) = delete;

    private:
        CGContext& context_;
    };

private:
    struct State {
        CGColor fill = CGColor::black();
        CGColor stroke = CGColor::black();
        CGFloat lineWidth = 1;
        CGLineCap cap = CGLineCap::butt;
        CGLineJoin join = CGLineJoin::miter;
        CGFloat miterLimit = 10;
        CGFloat dashPhase = 0;
        std::vector<CGFloat> dashLengths;
        CGFloat alpha = 1;
        CGBlendMode blendMode = CGBlendMode::normal;
        CGInterpolationQuality interpolation = CGInterpolationQuality::defaultQuality;
    };

    CGContext() = default;
    State& state() { return states_.back(); }
    const State& state() const { return states_.back(); }
    void setSource(const CGColor& color);
    void copyFromCaller();
    void copyToCaller();

    cairo_t* cairo_ = nullptr;
    cairo_surface_t* surface_ = nullptr;
    std::vector<State> states_{State{}};
    CGAffineTransform base_;  // Cairo device space from the y-up base space
    std::size_t width_ = 0, height_ = 0, bytesPerRow_ = 0;
    void* data_ = nullptr;
    std::vector<unsigned char> ownData_;
    CGBitmapInfo layout_;
    bool converts_ = false;  // the caller's bytes differ from Cairo's and are copied across
    int drawingDepth_ = 0;
};
