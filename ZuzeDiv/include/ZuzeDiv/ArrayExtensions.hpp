#pragma once
// Array helpers.
#include <memory>
#include <vector>

#include "QuartzCore/CALayer.hpp"

namespace ZuzeDiv {

/// Detaches every layer of the list from its superlayer, in order, then empties the list and lets
/// go of its storage.
template <class Layer>
void removeAllFromSuperlayer(std::vector<std::shared_ptr<Layer>>& layers) {
    for (const auto& layer : layers) {
        if (layer) layer->removeFromSuperlayer();
    }
    std::vector<std::shared_ptr<Layer>>().swap(layers);
}

}  // namespace ZuzeDiv
