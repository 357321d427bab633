#include "SystemConfiguration/SCNetworkReachability.hpp"

#include <net/if.h>

#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

namespace {
std::mutex settingsMutex;
std::filesystem::path procRoot = "/proc";
std::function<std::optional<SCNetworkReachabilityFlags>(const sockaddr*)> flagsProvider;

bool interfaceIsUp(const std::filesystem::path& root, const std::string& name) {
    // /sys is next to /proc; when it cannot be read, the route itself is taken as the answer.
    std::ifstream operstate(root.parent_path() / "sys" / "class" / "net" / name / "operstate");
    std::string state;
    if (!(operstate >> state)) return true;
    return state != "down" && state != "lowerlayerdown" && state != "notpresent";
}

// A default route over an interface that is up, in the IPv4 or the IPv6 table.
std::optional<bool> hasDefaultRoute(const std::filesystem::path& root, int family) {
    bool readable = false;
    if (family != AF_INET6) {
        std::ifstream table(root / "net" / "route");
        std::string line;
        if (table && std::getline(table, line)) {  // header line
            readable = true;
            while (std::getline(table, line)) {
                std::istringstream fields(line);
                std::string interface, destination, gateway;
                unsigned flags = 0;
                if (!(fields >> interface >> destination >> gateway >> std::hex >> flags)) continue;
                if (destination == "00000000" && (flags & 0x1 /* up */) && interfaceIsUp(root, interface)) return true;
            }
        }
    }
    if (family != AF_INET) {
        std::ifstream table(root / "net" / "ipv6_route");
        if (table) {
            readable = true;
            std::string line;
            while (std::getline(table, line)) {
                std::istringstream fields(line);
                std::string destination, prefix, source, sourcePrefix, nextHop, metric, references, use, flags, interface;
                if (!(fields >> destination >> prefix >> source >> sourcePrefix >> nextHop >> metric >> references >> use >>
                      flags >> interface))
                    continue;
                unsigned long flagBits = std::stoul(flags, nullptr, 16);
                bool isDefault = destination == std::string(32, '0') && prefix == "00";
                bool rejected = flagBits & 0x0200;  // RTF_REJECT
                if (isDefault && !rejected && (flagBits & 0x1) && interface != "lo" && interfaceIsUp(root, interface))
                    return true;
            }
        }
    }
    if (!readable) return std::nullopt;
    return false;
}
}  // namespace

SCNetworkReachabilityRef SCNetworkReachabilityCreateWithAddress(const void*, const sockaddr* address) {
    if (!address) return nullptr;
    auto target = std::make_shared<SCNetworkReachability>();
    if (address->sa_family == AF_INET) {
        std::memcpy(&target->address, address, sizeof(sockaddr_in));
    } else if (address->sa_family == AF_INET6) {
        std::memcpy(&target->address, address, sizeof(sockaddr_in6));
    } else {
        return nullptr;
    }
    return target;
}

bool SCNetworkReachabilityGetFlags(const SCNetworkReachabilityRef& target, SCNetworkReachabilityFlags* flags) {
    if (!target || !flags) return false;
    std::function<std::optional<SCNetworkReachabilityFlags>(const sockaddr*)> provider;
    std::filesystem::path root;
    {
        std::lock_guard lock(settingsMutex);
        provider = flagsProvider;
        root = procRoot;
    }
    const auto* address = reinterpret_cast<const sockaddr*>(&target->address);
    if (provider) {
        auto answer = provider(address);
        if (!answer) return false;
        *flags = *answer;
        return true;
    }
    // The wildcard address stands for "the network": reachable while some default route is up.
    // Any other address is judged the same way, by the routes of its family.
    auto reachable = hasDefaultRoute(root, address->sa_family);
    if (!reachable) return false;
    *flags = *reachable ? kSCNetworkReachabilityFlagsReachable : 0;
    return true;
}

void SCNetworkReachabilitySetProcRoot(const std::filesystem::path& root) {
    std::lock_guard lock(settingsMutex);
    procRoot = root.empty() ? std::filesystem::path("/proc") : root;
}

void SCNetworkReachabilitySetFlagsProvider(
    std::function<std::optional<SCNetworkReachabilityFlags>(const sockaddr*)> provider) {
    std::lock_guard lock(settingsMutex);
    flagsProvider = std::move(provider);
}
