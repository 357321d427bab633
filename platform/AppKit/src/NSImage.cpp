#include "AppKit/NSImage.hpp"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <mutex>

#include "AppKit/SymbolCatalogue.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace {

class BitmapRep final : public NSImageRep {
public:
    BitmapRep(cairo_surface_t* surface, CGSize size) : surface_(surface), size_(size) {}
    ~BitmapRep() override { cairo_surface_destroy(surface_); }
    CGSize size() const override { return size_; }
    CGSize pixelSize() const override {
        return {double(cairo_image_surface_get_width(surface_)), double(cairo_image_surface_get_height(surface_))};
    }
    void draw(cairo_t* cr, const CGRect& rect) const override {
        int w = cairo_image_surface_get_width(surface_), h = cairo_image_surface_get_height(surface_);
        if (w <= 0 || h <= 0 || rect.isEmpty()) return;
        cairo_save(cr);
        cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
        cairo_clip(cr);
        cairo_translate(cr, rect.minX(), rect.minY());
        cairo_scale(cr, rect.width() / w, rect.height() / h);
        cairo_set_source_surface(cr, surface_, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
    }

private:
    cairo_surface_t* surface_;
    CGSize size_;
};

class SvgRep final : public NSImageRep {
public:
    SvgRep(RsvgHandle* handle, CGSize size) : handle_(handle), size_(size) {}
    ~SvgRep() override {
        if (raster_) cairo_surface_destroy(raster_);
        g_object_unref(handle_);
    }
    CGSize size() const override { return size_; }
    void draw(cairo_t* cr, const CGRect& rect) const override {
        if (rect.isEmpty()) return;
        // A picture drawn again and again at the same size on the pixel grid (a window redrawn
        // every second) is rendered once at that size and then copied.
        cairo_matrix_t m;
        cairo_get_matrix(cr, &m);
        double x = rect.minX(), y = rect.minY(), w = rect.width() * m.xx, h = rect.height() * m.yy;
        cairo_user_to_device(cr, &x, &y);
        auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-6; };
        if (m.xy == 0 && m.yx == 0 && w > 0 && h > 0 && w * h <= 1024 * 1024 && whole(x) && whole(y) && whole(w) && whole(h)) {
            std::lock_guard lock(rasterMutex_);
            int width = int(std::lround(w)), height = int(std::lround(h));
            if (!raster_ || cairo_image_surface_get_width(raster_) != width || cairo_image_surface_get_height(raster_) != height) {
                if (raster_) cairo_surface_destroy(raster_);
                raster_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
                cairo_t* offscreen = cairo_create(raster_);
                RsvgRectangle viewport{0, 0, double(width), double(height)};
                rsvg_handle_render_document(handle_, offscreen, &viewport, nullptr);
                cairo_destroy(offscreen);
            }
            cairo_save(cr);
            cairo_identity_matrix(cr);
            cairo_set_source_surface(cr, raster_, std::round(x), std::round(y));
            cairo_rectangle(cr, std::round(x), std::round(y), width, height);
            cairo_fill(cr);
            cairo_restore(cr);
            return;
        }
        RsvgRectangle viewport{rect.minX(), rect.minY(), rect.width(), rect.height()};
        rsvg_handle_render_document(handle_, cr, &viewport, nullptr);
    }

private:
    RsvgHandle* handle_;
    CGSize size_;
    mutable std::mutex rasterMutex_;
    mutable cairo_surface_t* raster_ = nullptr;
};

// What was drawn into an image with focus, replayed at whatever size it is drawn.
class RecordingRep final : public NSImageRep {
public:
    RecordingRep(cairo_surface_t* recording, CGSize size) : recording_(recording), size_(size) {}
    ~RecordingRep() override { cairo_surface_destroy(recording_); }
    CGSize size() const override { return size_; }
    void draw(cairo_t* cr, const CGRect& rect) const override {
        if (rect.isEmpty() || size_.width <= 0 || size_.height <= 0) return;
        cairo_save(cr);
        cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
        cairo_clip(cr);
        cairo_translate(cr, rect.minX(), rect.minY());
        cairo_scale(cr, rect.width() / size_.width, rect.height() / size_.height);
        cairo_set_source_surface(cr, recording_, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
    }

private:
    cairo_surface_t* recording_;
    CGSize size_;
};

std::shared_ptr<NSImage> svgImage(const std::uint8_t* bytes, std::size_t length) {
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(bytes, length, &error);
    if (!handle) {
        if (error) g_error_free(error);
        return nullptr;
    }
    gdouble width = 0, height = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height) || width <= 0 || height <= 0) {
        width = 24;
        height = 24;
    }
    CGSize size{width, height};
    return std::make_shared<NSImage>(size, std::make_shared<SvgRep>(handle, size));
}

struct PngReader {
    const Data* data;
    std::size_t offset = 0;
    static cairo_status_t read(void* closure, unsigned char* out, unsigned int length) {
        auto* self = static_cast<PngReader*>(closure);
        if (self->offset + length > self->data->size()) return CAIRO_STATUS_READ_ERROR;
        std::copy_n(self->data->begin() + static_cast<std::ptrdiff_t>(self->offset), length, out);
        self->offset += length;
        return CAIRO_STATUS_SUCCESS;
    }
};

bool isPng(const Data& data) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return data.size() >= 8 && std::equal(signature, signature + 8, data.begin());
}

cairo_status_t appendToData(void* closure, const unsigned char* bytes, unsigned int length) {
    auto* out = static_cast<Data*>(closure);
    out->insert(out->end(), bytes, bytes + length);
    return CAIRO_STATUS_SUCCESS;
}
}  // namespace

struct NSImage::Focus {
    cairo_surface_t* recording = nullptr;
    std::shared_ptr<CGContext> context;
    ~Focus() {
        if (recording) cairo_surface_destroy(recording);
    }
};

NSImage::NSImage(CGSize size, std::shared_ptr<const NSImageRep> representation)
    : size_(size), representation_(std::move(representation)) {}

NSImage::SymbolConfiguration NSImage::SymbolConfiguration::applying(const SymbolConfiguration& other) const {
    SymbolConfiguration result = *this;
    if (other.pointSize > 0) {
        result.pointSize = other.pointSize;
        result.weight = other.weight;
    }
    if (other.hierarchicalColor) result.hierarchicalColor = other.hierarchicalColor;
    return result;
}

std::shared_ptr<NSImage> NSImage::fromCGImage(const std::shared_ptr<CGImage>& image, CGSize size) {
    if (!image) return nullptr;
    return fromSurface(cairo_surface_reference(image->surface()), size);
}

std::shared_ptr<NSImage> NSImage::fromData(const Data& data) {
    if (isPng(data)) {
        PngReader reader{&data};
        cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(&PngReader::read, &reader);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return nullptr;
        }
        CGSize size{double(cairo_image_surface_get_width(surface)), double(cairo_image_surface_get_height(surface))};
        return fromSurface(surface, size);
    }
    if (!data.empty()) return svgImage(data.data(), data.size());
    return nullptr;
}

std::shared_ptr<NSImage> NSImage::contentsOfFile(const std::string& path) {
    auto bytes = RegularFile::contents(path, maximumFileSize);
    return bytes ? fromData(dataFromString(*bytes)) : nullptr;
}

std::shared_ptr<NSImage> NSImage::named(const std::string& name) {
    auto bundle = Bundle::main();
    for (const char* extension : {"", "png", "svg"}) {
        if (auto path = bundle->pathForResource(name, extension)) {
            if (std::filesystem::is_regular_file(*path)) {
                if (auto image = contentsOfFile(path->string())) return image;
            }
        }
    }
    return nullptr;
}

std::shared_ptr<NSImage> NSImage::systemSymbol(const std::string& name, const std::optional<std::string>& description) {
    const SymbolEntry* entry = SymbolCatalogue::find(name);
    if (!entry || !ProcessInfo::processInfo().isOperatingSystemAtLeast(entry->introduced)) return nullptr;
    auto image = svgImage(reinterpret_cast<const std::uint8_t*>(entry->svg.data()), entry->svg.size());
    if (!image) return nullptr;
    image->size_ = {16, 16};
    image->template_ = true;
    image->symbolName_ = name;
    image->accessibilityDescription_ = description;
    return image;
}

std::shared_ptr<NSImage> NSImage::fromSurface(cairo_surface_t* surface, CGSize size) {
    return std::make_shared<NSImage>(size, std::make_shared<BitmapRep>(surface, size));
}

std::shared_ptr<NSImage> NSImage::withSymbolConfiguration(const SymbolConfiguration& configuration) const {
    if (!symbolName_) return nullptr;
    auto image = copy();
    image->symbolConfiguration_ = symbolConfiguration_ ? symbolConfiguration_->applying(configuration) : configuration;
    if (configuration.pointSize > 0) {
        // A symbol is a little taller than the font size it matches.
        CGFloat side = std::round(configuration.pointSize * 1.2);
        image->size_ = {side, side};
    }
    return image;
}

std::shared_ptr<NSImage> NSImage::copy() const {
    auto image = std::make_shared<NSImage>(size_, representation_);
    image->template_ = template_;
    image->symbolName_ = symbolName_;
    image->symbolConfiguration_ = symbolConfiguration_;
    image->accessibilityDescription_ = accessibilityDescription_;
    return image;
}

void NSImage::lockFocus() {
    if (focus_) return;
    focus_ = std::make_shared<Focus>();
    cairo_rectangle_t extents{0, 0, size_.width, size_.height};
    focus_->recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    if (representation_) {
        cairo_t* cr = cairo_create(focus_->recording);
        draw(cr, CGRect{0, 0, size_.width, size_.height});
        cairo_destroy(cr);
    }
    focus_->context = CGContext::onSurface(focus_->recording, size_.height);
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrent(NSGraphicsContext::make(focus_->context));
}

void NSImage::unlockFocus() {
    if (!focus_) return;
    NSGraphicsContext::restoreGraphicsState();
    auto focus = std::move(focus_);
    focus->context.reset();
    cairo_surface_flush(focus->recording);
    representation_ = std::make_shared<RecordingRep>(cairo_surface_reference(focus->recording), size_);
    // What was drawn is the content now; a symbol's colour is in it.
    if (symbolConfiguration_) symbolConfiguration_->hierarchicalColor.reset();
}

void NSImage::draw(const CGRect& rect, const CGRect& from, NSCompositingOperation operation, CGFloat fraction) const {
    auto current = NSGraphicsContext::current();
    if (!current || !representation_ || rect.isEmpty() || size_.width <= 0 || size_.height <= 0) return;
    CGRect source = from.isEmpty() ? CGRect{0, 0, size_.width, size_.height} : from.standardized();
    CGRect target = rect.standardized();
    auto& cg = *current->cgContext();
    cg.saveGState();
    cg.setBlendMode(NSGraphicsContext::blendMode(operation));
    cg.setAlpha(cg.alpha() * fraction);
    cg.drawComposited(target, [&](cairo_t* cr) {
        // Into a y-down space with the target's top-left corner at the origin.
        if (cg.isYAxisUp()) {
            cairo_translate(cr, target.minX(), target.maxY());
            cairo_scale(cr, 1, -1);
        } else {
            cairo_translate(cr, target.minX(), target.minY());
        }
        cairo_scale(cr, target.width() / source.width(), target.height() / source.height());
        cairo_translate(cr, -source.minX(), -(size_.height - source.maxY()));
        draw(cr, CGRect{0, 0, size_.width, size_.height});
    });
    cg.restoreGState();
}

void NSImage::draw(CGPoint at, const CGRect& from, NSCompositingOperation operation, CGFloat fraction) const {
    CGSize size = from.isEmpty() ? size_ : from.standardized().size;
    draw(CGRect{at, size}, from, operation, fraction);
}

void NSImage::draw(cairo_t* context, const CGRect& rect, CGFloat fraction) const {
    if (!representation_ || fraction <= 0) return;
    std::shared_ptr<NSColor> color = symbolConfiguration_ ? symbolConfiguration_->hierarchicalColor : nullptr;
    if (fraction >= 1 && !color) {
        representation_->draw(context, rect);
        return;
    }
    cairo_push_group(context);
    representation_->draw(context, rect);
    cairo_pattern_t* content = cairo_pop_group(context);
    if (color) {
        // The symbol's shape in its colour.
        CGColor c = color->cgColor();
        cairo_set_source_rgba(context, c.red, c.green, c.blue, c.alpha * std::min<CGFloat>(fraction, 1));
        cairo_mask(context, content);
    } else {
        cairo_set_source(context, content);
        cairo_paint_with_alpha(context, fraction);
    }
    cairo_pattern_destroy(content);
}

cairo_surface_t* NSImage::renderedSurface(CGFloat scale) const {
    int w = std::max(1, static_cast<int>(std::ceil(size_.width * scale)));
    int h = std::max(1, static_cast<int>(std::ceil(size_.height * scale)));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    draw(cr, CGRect{0, 0, double(w), double(h)});
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

CGFloat NSImage::nativeScale() const {
    if (!representation_ || size_.width <= 0) return 1;
    CGFloat scale = representation_->pixelSize().width / size_.width;
    return scale > 0 ? scale : 1;
}

std::shared_ptr<CGImage> NSImage::cgImage() const {
    if (!representation_) return nullptr;
    return std::make_shared<CGImage>(renderedSurface(nativeScale()));
}

Data NSImage::pngData(std::optional<CGFloat> scale) const {
    if (!representation_) return {};
    cairo_surface_t* surface = renderedSurface(scale.value_or(nativeScale()));
    Data out;
    cairo_surface_write_to_png_stream(surface, appendToData, &out);
    cairo_surface_destroy(surface);
    return out;
}
