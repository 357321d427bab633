#include "WaylandSurfaceOutputs.hpp"

void WaylandSurfaceOutputs::entered(wl_output* output) {
    current_.insert(output);
    held_.clear();
    last_ = output;
    everEntered_ = true;
}

void WaylandSurfaceOutputs::left(wl_output* output) {
    current_.erase(output);
    if (shrinking_) {
        held_.insert(output);
    } else {
        held_.clear();
    }
}

void WaylandSurfaceOutputs::forget(wl_output* output) {
    current_.erase(output);
    held_.erase(output);
    if (last_ == output) last_ = nullptr;
}

std::set<wl_output*> WaylandSurfaceOutputs::sizing() const {
    std::set<wl_output*> outputs = current_;
    outputs.insert(held_.begin(), held_.end());
    if (outputs.empty() && last_) outputs.insert(last_);
    return outputs;
}
