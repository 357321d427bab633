#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGAffineTransform.hpp"
