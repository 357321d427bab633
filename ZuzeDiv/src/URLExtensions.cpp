#include "ZuzeDiv/URLExtensions.hpp"

namespace ZuzeDiv {

std::optional<UTType> contentType(const URL& url) { return UTType::ofFile(url); }

}  // namespace ZuzeDiv
