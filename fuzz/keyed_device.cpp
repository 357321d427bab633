// Battery devices decoded from keyed containers (JSON), as stored lists hand them back, and
// encoded again.
#include <cstdint>

#include <nlohmann/json.hpp>

#include "RuduredOro/DoubleBatteryDevice.hpp"
#include "RuduredOro/LowEnergyDevice.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"

namespace {
template <class Device>
void decodeAndEncode(const RuduredOro::KeyedContainer& container) {
    try {
        Device device(container);
        RuduredOro::KeyedContainer out;
        device.encode(out);
    } catch (const RuduredOro::DecodingError&) {
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto container = RuduredOro::KeyedContainer::parse(bytes, bytes + size, nullptr, false);
    if (container.is_discarded()) return 0;
    decodeAndEncode<RuduredOro::SingleBatteryDevice>(container);
    decodeAndEncode<RuduredOro::DoubleBatteryDevice>(container);
    decodeAndEncode<RuduredOro::LowEnergyDevice>(container);
    return 0;
}
