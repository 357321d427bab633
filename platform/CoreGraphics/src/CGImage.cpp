#include "CoreGraphics/CGImage.hpp"

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace {
cairo_status_t appendToData(void* closure, const unsigned char* bytes, unsigned int length) {
    auto* out = static_cast<Data*>(closure);
    out->insert(out->end(), bytes, bytes + length);
    return CAIRO_STATUS_SUCCESS;
}

struct DataReader {
    const Data* data;
    std::size_t offset = 0;
    static cairo_status_t read(void* closure, unsigned char* out, unsigned int length) {
        auto* self = static_cast<DataReader*>(closure);
        if (self->offset + length > self->data->size()) return CAIRO_STATUS_READ_ERROR;
        std::memcpy(out, self->data->data() + self->offset, length);
        self->offset += length;
        return CAIRO_STATUS_SUCCESS;
    }
};
}  // namespace

CGImage::CGImage(cairo_surface_t* surface) : surface_(surface) {}

CGImage::~CGImage() { cairo_surface_destroy(surface_); }

std::shared_ptr<CGImage> CGImage::copying(cairo_surface_t* source) {
    if (!source || cairo_surface_get_type(source) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(source) != CAIRO_FORMAT_ARGB32) {
        return nullptr;
    }
    cairo_surface_flush(source);
    int w = cairo_image_surface_get_width(source), h = cairo_image_surface_get_height(source);
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(copy);
    return std::make_shared<CGImage>(copy);
}

std::shared_ptr<CGImage> CGImage::fromPNG(const Data& data) {
    DataReader reader{&data};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(&DataReader::read, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    if (cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32) return std::make_shared<CGImage>(surface);
    auto image = copying(surface);  // RGB24 and the like become ARGB32
    cairo_surface_destroy(surface);
    return image;
}

std::size_t CGImage::width() const { return static_cast<std::size_t>(cairo_image_surface_get_width(surface_)); }

std::size_t CGImage::height() const { return static_cast<std::size_t>(cairo_image_surface_get_height(surface_)); }

std::array<std::uint8_t, 4> CGImage::pixel(std::size_t x, std::size_t y) const {
    if (x >= width() || y >= height()) return {0, 0, 0, 0};
    const unsigned char* row = cairo_image_surface_get_data(surface_) +
                               static_cast<std::size_t>(cairo_image_surface_get_stride(surface_)) * y;
    std::uint32_t argb;
    std::memcpy(&argb, row + 4 * x, 4);
    return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8), static_cast<std::uint8_t>(argb),
            static_cast<std::uint8_t>(argb >> 24)};
}

Data CGImage::pngData() const {
    Data out;
    if (cairo_surface_write_to_png_stream(surface_, appendToData, &out) != CAIRO_STATUS_SUCCESS) return {};
    return out;
}

bool CGImage::writePNG(const std::filesystem::path& path) const {
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}
