#pragma once
// The catalogue of phone, music-player, tablet and watch models by model identifier ("iPhone14,5").
#include <memory>
#include <string>

#include "RarAvi/Device.hpp"

namespace RarAvi {

class Devices {
public:
    Devices() = delete;

    /// A new object of the model's class for a catalogued identifier; nullptr otherwise.
    /// The family is chosen by the first of "iPhone", "iPod", "iPad", "Watch" that the identifier
    /// contains; only that family's table is searched, for an exactly equal identifier.
    static std::shared_ptr<Device> device(const std::string& identifier);
};

}  // namespace RarAvi
