#include "RarAvi/ImageExtensions.hpp"

#include <filesystem>
#include <fstream>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "CoreImage/CIContext.hpp"
#include "CoreImage/CIFilter.hpp"
#include "Foundation/ProcessInfo.hpp"

namespace RarAvi {

std::shared_ptr<NSImage> emptyImage() {
    static const std::shared_ptr<NSImage> empty = NSImage::make(CGSize{});
    return empty;
}

std::shared_ptr<NSImage> resized(const NSImage& image, CGFloat toHeight) {
    CGSize source = image.size();
    CGFloat width = source.height > 0 ? toHeight / source.height * source.width : 0;
    return resized(image, CGSize{width, toHeight});
}

std::shared_ptr<NSImage> rounded(const NSImage& image, CGFloat xRadius, CGFloat yRadius) {
    CGSize size = image.size();
    auto result = NSImage::make(size);
    result->lockFocus();
    if (auto context = NSGraphicsContext::current()) context->setImageInterpolation(NSImageInterpolation::high);
    auto clip = NSBezierPath::roundedRect(CGRect{CGPoint{}, size}, xRadius, yRadius);
    clip->setWindingRule(NSWindingRule::evenOdd);
    clip->addClip();
    image.draw(CGPoint{}, CGRect{CGPoint{}, size}, NSCompositingOperation::sourceOver, 1.0);
    result->unlockFocus();
    return result;
}

std::shared_ptr<NSImage> accentTinted(const std::shared_ptr<NSImage>& image) {
    return tinted(image, NSColor::controlAccentColor());
}

std::shared_ptr<NSImage> withHierarchicalColor(const std::shared_ptr<NSImage>& image, const std::shared_ptr<NSColor>& color) {
    if (!image || !ProcessInfo::processInfo().isOperatingSystemAtLeast({12, 0, 0})) return image;
    NSImage::SymbolConfiguration configuration;
    configuration.hierarchicalColor = color;
    auto configured = image->withSymbolConfiguration(configuration);
    return configured ? configured : image;
}

std::shared_ptr<NSImage> applying(const NSImage& image, PhotoEffect effect) {
    auto bitmap = image.cgImage();
    if (!bitmap) return nullptr;
    auto input = CIImage::fromCGImage(bitmap);
    auto filter = CIFilter::named(filterName(effect));
    if (!input || !filter) return nullptr;
    filter->setValue(input, kCIInputImageKey);
    auto output = filter->outputImage();
    if (!output) return nullptr;
    auto result = CIContext::make()->createCGImage(*output, output->extent());
    if (!result) return nullptr;
    return NSImage::fromCGImage(result, image.size());
}

std::optional<Data> pngData(const NSImage& image) {
    Data bytes = image.pngData();
    if (bytes.empty()) return std::nullopt;
    return bytes;
}

void writePNG(const NSImage& image, const URL& url, DataWritingOptions options) {
    auto bytes = pngData(image);
    if (!bytes || !url.isFileURL()) return;
    std::filesystem::path target = url.path();
    std::error_code error;
    if (options.withoutOverwriting && std::filesystem::exists(target, error)) return;
    std::filesystem::path written = options.atomic ? std::filesystem::path(target.string() + ".writing") : target;
    bool complete = false;
    {
        std::ofstream file(written, std::ios::binary | std::ios::trunc);
        if (!file) return;
        file.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
        file.close();
        complete = !file.fail();
    }
    if (!options.atomic) return;
    // The target is replaced only by a complete file; a half-written temporary one is not left behind.
    if (complete) std::filesystem::rename(written, target, error);
    if (!complete || error) std::filesystem::remove(written, error);
}

}  // namespace RarAvi
