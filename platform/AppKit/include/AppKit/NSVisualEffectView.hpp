#pragma once
// A view that shows one of the system's backgrounds (a material such as the selection
// highlight) behind the views over it. Here it paints the material's colour over its bounds,
// rounded as its layer's corners are.
#include <memory>

#include "AppKit/NSView.hpp"

class NSVisualEffectView : public NSView {
public:
    enum class State { followsWindowActiveState = 0, active = 1, inactive = 2 };
    enum class Material {
        titlebar = 3, selection = 4, menu = 5, popover = 6, sidebar = 7, headerView = 10, sheet = 11,
        windowBackground = 12, hudWindow = 13, fullScreenUI = 15, toolTip = 17, contentBackground = 18,
        underWindowBackground = 21, underPageBackground = 22
    };
    enum class BlendingMode { behindWindow = 0, withinWindow = 1 };

    explicit NSVisualEffectView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<NSVisualEffectView> make(CGRect frame = {}) { return std::make_shared<NSVisualEffectView>(frame); }

    State state() const { return state_; }
    void setState(State state);
    Material material() const { return material_; }
    void setMaterial(Material material);
    BlendingMode blendingMode() const { return blendingMode_; }
    void setBlendingMode(BlendingMode mode) { blendingMode_ = mode; }
    /// Whether the material shows in its stronger, emphasised form (false unless set).
    bool isEmphasized() const { return emphasized_; }
    void setEmphasized(bool emphasized);

    void draw(const CGRect& dirtyRect) override;

private:
    State state_ = State::followsWindowActiveState;
    Material material_ = Material::windowBackground;
    BlendingMode blendingMode_ = BlendingMode::behindWindow;
    bool emphasized_ = false;
};
