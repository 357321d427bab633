#pragma once
// Finds the machine's internal battery: the registry's smart battery, described by the kind of
// battery its controller hosts.
#include <memory>

#include "IOKit/IOKitLib.hpp"
#include "RuduredOro/InternalBattery.hpp"

namespace RuduredOro {

class InternalFinder {
public:
    /// Looks up the first smart battery ("AppleSmartBattery") of the registry, once.
    InternalFinder();
    /// Gives the registry handle back.
    ~InternalFinder();
    InternalFinder(const InternalFinder&) = delete;
    InternalFinder& operator=(const InternalFinder&) = delete;

    /// The smart battery's registry handle, 0 when there is none. The finder owns it: a handle
    /// set here replaces (and gives back) the one it had.
    io_service_t serviceInternal() const { return serviceInternal_; }
    void setServiceInternal(io_service_t service);

    /// True when the machine lists at least one power source.
    bool hasBattery() const;
    /// A new battery of the kind the smart battery's controller hosts ("IOSMBusController":
    /// mAh capacities; "AppleSMC": percentages), read once; absent without power sources,
    /// without a smart battery, or under a controller of another kind. Refresh it with
    /// update(serviceInternal()) while the finder lives.
    std::shared_ptr<InternalBatteryBase> battery() const;

private:
    io_service_t serviceInternal_ = 0;
};

}  // namespace RuduredOro
