#pragma once
// The photo effects an image can be given.
#include <optional>
#include <string>

namespace RarAvi {

enum class PhotoEffect { mono = 0, tonal = 1, noir = 2 };

inline int rawValue(PhotoEffect effect) { return static_cast<int>(effect); }
std::optional<PhotoEffect> photoEffectFrom(int raw);
/// The image filter of the effect: "CIPhotoEffectMono", "CIPhotoEffectTonal", "CIPhotoEffectNoir".
std::string filterName(PhotoEffect effect);

}  // namespace RarAvi
