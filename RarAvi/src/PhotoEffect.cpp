#include "RarAvi/PhotoEffect.hpp"

namespace RarAvi {

std::optional<PhotoEffect> photoEffectFrom(int raw) {
    switch (raw) {
        case 0: return PhotoEffect::mono;
        case 1: return PhotoEffect::tonal;
        case 2: return PhotoEffect::noir;
        default: return std::nullopt;
    }
}

std::string filterName(PhotoEffect effect) {
    switch (effect) {
        case PhotoEffect::mono: return "CIPhotoEffectMono";
        case PhotoEffect::tonal: return "CIPhotoEffectTonal";
        case PhotoEffect::noir: return "CIPhotoEffectNoir";
    }
    return "";
}

}  // namespace RarAvi
