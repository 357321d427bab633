#pragma once
// What a layer asks of the object that draws for it (a layer-backed view).
class CALayer;
class CGContext;

class CALayerDelegate {
public:
    virtual ~CALayerDelegate() = default;
    /// Draws the layer's own content, in the layer's coordinates.
    virtual void drawLayer(CALayer& layer, CGContext& context) = 0;
    /// The layer (the top of its tree) or a layer under it changed what it shows since the tree
    /// was last drawn.
    virtual void layerDidChange(CALayer& /*layer*/) {}
};
