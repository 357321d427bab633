#include "AppKit/NSImage.hpp"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "AppKit/SymbolCatalogue.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/ProcessInfo.hpp"

namespace {

class BitmapRep final : public NSImageRep {
public:
    BitmapRep(cairo_surface_t* surface, CGSize size) : surface_(surface), size_(size) {}
    ~BitmapRep() override { cairo_surface_destroy(surface_); }
    CGSize size() const override { return size_; }
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
    ~SvgRep() override { g_object_unref(handle_); }
    CGSize size() const override { return size_; }
    void draw(cairo_t* cr, const CGRect& rect) const override {
        if (rect.isEmpty()) return;
        RsvgRectangle viewport{rect.minX(), rect.minY(), rect.width(), rect.height()};
        rsvg_handle_render_document(handle_, cr, &viewport, nullptr);
    }

private:
    RsvgHandle* handle_;
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

NSImage::NSImage(CGSize size, std::shared_ptr<const NSImageRep> representation)
    : size_(size), representation_(std::move(representation)) {}

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
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    Data data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return fromData(data);
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
    image->symbolConfiguration_ = configuration;
    if (configuration.pointSize > 0) {
        // A symbol is a little taller than the font size it matches.
        CGFloat side = std::round(configuration.pointSize * 1.2);
        image->size_ = {side, side};
    }
    return image;
}

std::shared_ptr<NSImage> NSImage::copy() const { return std::make_shared<NSImage>(*this); }

void NSImage::draw(cairo_t* context, const CGRect& rect, CGFloat fraction) const {
    if (!representation_ || fraction <= 0) return;
    if (fraction >= 1) {
        representation_->draw(context, rect);
        return;
    }
    cairo_push_group(context);
    representation_->draw(context, rect);
    cairo_pop_group_to_source(context);
    cairo_paint_with_alpha(context, fraction);
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

Data NSImage::pngData(CGFloat scale) const {
    if (!representation_) return {};
    cairo_surface_t* surface = renderedSurface(scale);
    Data out;
    cairo_surface_write_to_png_stream(surface, appendToData, &out);
    cairo_surface_destroy(surface);
    return out;
}
