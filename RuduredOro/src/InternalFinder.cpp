#include "RuduredOro/InternalFinder.hpp"

#include "IOKit/IOPowerSources.hpp"
#include "RuduredOro/IOKitHelper.hpp"

namespace RuduredOro {

InternalFinder::InternalFinder()
    : serviceInternal_(IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("AppleSmartBattery"))) {}

InternalFinder::~InternalFinder() { setServiceInternal(0); }

void InternalFinder::setServiceInternal(io_service_t service) {
    if (service == serviceInternal_) return;
    if (serviceInternal_ != 0) {
        IOServiceClose(serviceInternal_);
        IOObjectRelease(serviceInternal_);
    }
    serviceInternal_ = service;
}

bool InternalFinder::hasBattery() const {
    auto blob = IOPSCopyPowerSourcesInfo();
    if (!blob) return false;
    auto list = IOPSCopyPowerSourcesList(blob);
    const CFArray* sources = list ? list->arrayValue() : nullptr;
    return sources && !sources->empty();
}

std::shared_ptr<InternalBatteryBase> InternalFinder::battery() const {
    if (!hasBattery() || serviceInternal_ == 0) return nullptr;
    io_registry_entry_t parent = 0;
    if (IORegistryEntryGetParentEntry(serviceInternal_, kIOServicePlane, &parent) != KERN_SUCCESS || parent == 0) return nullptr;
    auto providerClass = IOKitHelper::stringProperty(parent, kIOProviderClassKey);
    IOObjectRelease(parent);
    if (providerClass == "IOSMBusController") return std::make_shared<LegacyInternalBattery>(serviceInternal_);
    if (providerClass == "AppleSMC") return std::make_shared<AppleInternalBattery>(serviceInternal_);
    return nullptr;
}

}  // namespace RuduredOro
