#pragma once
// Filters by name. The photo effects ("CIPhotoEffectMono", "CIPhotoEffectTonal",
// "CIPhotoEffectNoir") are our own per-pixel tone maps: each turns a pixel grey from its
// luminance, mono as it is, tonal with a gentle contrast curve and noir with a strong one; alpha
// is kept.
#include <memory>
#include <string>

#include "CoreImage/CIImage.hpp"

inline const std::string kCIInputImageKey = "inputImage";

class CIFilter {
public:
    /// The filter of that name; nullptr for a name this system has no filter for.
    static std::shared_ptr<CIFilter> named(const std::string& name);

    const std::string& name() const { return name_; }
    /// Sets an input; only the input image (kCIInputImageKey) is known, other keys are ignored.
    void setValue(const std::shared_ptr<CIImage>& image, const std::string& key);
    /// The filtered image; nullptr without an input image.
    std::shared_ptr<CIImage> outputImage() const;

    enum class Effect { mono, tonal, noir };
    CIFilter(std::string name, Effect effect) : name_(std::move(name)), effect_(effect) {}

private:
    std::string name_;
    Effect effect_;
    std::shared_ptr<CIImage> input_;
};
