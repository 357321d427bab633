#pragma once
// Photo effects by the name of the image filter that applies them ("CIPhotoEffectMono",
// "CIPhotoEffectTonal", "CIPhotoEffectNoir"; filterName gives the name of an effect).
#include <optional>
#include <string>

#include "RarAvi/PhotoEffect.hpp"

namespace RarAvi {

/// The effect whose filter has exactly that name; absent for any other text.
std::optional<PhotoEffect> photoEffectFrom(const std::string& filterName);

}  // namespace RarAvi
