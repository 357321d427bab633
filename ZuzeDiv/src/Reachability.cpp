#include "ZuzeDiv/Reachability.hpp"

#include <netinet/in.h>

#include "SystemConfiguration/SCNetworkReachability.hpp"

namespace ZuzeDiv {

bool Reachability::isConnectedToNetwork() {
    sockaddr_in wildcard{};
    wildcard.sin_family = AF_INET;
    auto target = SCNetworkReachabilityCreateWithAddress(nullptr, reinterpret_cast<const sockaddr*>(&wildcard));
    if (!target) return false;
    SCNetworkReachabilityFlags flags = 0;
    if (!SCNetworkReachabilityGetFlags(target, &flags)) return false;
    return (flags & kSCNetworkReachabilityFlagsReachable) && !(flags & kSCNetworkReachabilityFlagsConnectionRequired);
}

}  // namespace ZuzeDiv
