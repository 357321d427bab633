#pragma once
// The outputs a surface on a Wayland compositor is on, as the compositor's enter and leave events
// tell, and those its window takes its size from: the ones it is on (the smallest of them is the
// one it overflows none of), the one it entered last while it is on none. A compositor that sends
// no leave keeps an output in both sets, so that the window stays no taller than an output it is
// on. An output the surface leaves while it is made smaller, before the compositor has shown it
// so, is one the smaller size took it out of: it still sizes the window until the surface enters
// or leaves another, or the window would grow back into it and shrink again for ever.
#include <set>

struct wl_output;

class WaylandSurfaceOutputs {
public:
    void entered(wl_output* output);
    void left(wl_output* output);
    /// The output is gone.
    void forget(wl_output* output);
    /// The window is made smaller (true) or the compositor has shown it at its new size (false).
    void setShrinking(bool shrinking) { shrinking_ = shrinking; }
    bool shrinking() const { return shrinking_; }

    /// The outputs the surface is on.
    const std::set<wl_output*>& current() const { return current_; }
    /// The outputs the window takes its size from; none before it entered one and once the
    /// outputs it was on are gone.
    std::set<wl_output*> sizing() const;
    /// Whether the surface ever entered an output.
    bool everEntered() const { return everEntered_; }

private:
    std::set<wl_output*> current_;
    std::set<wl_output*> held_;  // left while the window was made smaller
    wl_output* last_ = nullptr;
    bool shrinking_ = false;
    bool everEntered_ = false;
};
