#include "RarAvi/PhotoEffectNames.hpp"

namespace RarAvi {

std::optional<PhotoEffect> photoEffectFrom(const std::string& name) {
    for (auto effect : {PhotoEffect::mono, PhotoEffect::tonal, PhotoEffect::noir}) {
        if (filterName(effect) == name) return effect;
    }
    return std::nullopt;
}

}  // namespace RarAvi
