#include "RuduredOro/DecodingError.hpp"

namespace RuduredOro {

DecodingError::DecodingError(Kind kind, std::string key, const std::string& description)
    : std::runtime_error(key.empty() ? description : "\"" + key + "\": " + description), kind_(kind), key_(std::move(key)) {}

}  // namespace RuduredOro
