#include "CoreImage/CIContext.hpp"

#include <cairo.h>

#include <cmath>

std::shared_ptr<CGImage> CIContext::createCGImage(const CIImage& image, const CGRect& from) const {
    if (!image.bitmap()) return nullptr;
    CGRect area = from.intersection(image.extent()).integral();
    if (area.isNull() || area.isEmpty()) return nullptr;
    int w = static_cast<int>(area.width()), h = static_cast<int>(area.height());
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    // The extent's y grows upwards from the bottom row; bitmap rows run from the top.
    double top = image.extent().height() - area.maxY();
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image.bitmap()->surface(), -area.minX(), -top);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return std::make_shared<CGImage>(surface);
}
