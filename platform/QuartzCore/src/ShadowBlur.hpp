#pragma once
// The blur of a layer's shadow: three box blurs in each direction over the shadow's alpha, the
// usual stand-in for a Gaussian blur whose standard deviation is the shadow radius. Private to
// QuartzCore.
#include <vector>

class ShadowBlur {
public:
    /// The blur of standard deviation `sigma`, in pixels.
    explicit ShadowBlur(double sigma);

    /// How far, in pixels, the blur spreads an edge.
    int reach() const;
    /// Blurs an 8-bit alpha image in place; pixels outside it count as transparent.
    void apply(unsigned char* alpha, int width, int height, int stride) const;

private:
    std::vector<int> radii_;  // of the three boxes
};
