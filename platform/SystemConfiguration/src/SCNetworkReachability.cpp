#include "SystemConfiguration/SCNetworkReachability.hpp"

#include <net/if.h>

#include <charconv>
#include <cstring>
#include <mutex>
#include <sstream>
#include <string>

#include "Foundation/SystemRoot.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace {
std::mutex settingsMutex;
std::optional<std::filesystem::path> procRoot;
std::function<std::optional<SCNetworkReachabilityFlags>(const sockaddr*)> flagsProvider;

// The kernel's files tell no size: a routing table is read up to this size (tens of thousands of
// routes), an interface's state up to a line.
constexpr std::size_t maximumTableSize = std::size_t{4} << 20;
constexpr std::size_t maximumStateSize = 64;

// The whole lines of the table among its first maximumTableSize bytes; none when it is no regular
// file or cannot be read.
std::optional<std::istringstream> table(const std::filesystem::path& path) {
    auto text = RegularFile::firstBytes(path, maximumTableSize);
    if (!text) return std::nullopt;
    if (text->size() == maximumTableSize) text->erase(text->rfind('\n') + 1);  // a line cut off
    return std::istringstream(std::move(*text));
}

bool interfaceIsUp(const std::filesystem::path& root, const std::string& name) {
    // /sys is next to /proc; when it cannot be read, the route itself is taken as the answer.
    auto text = RegularFile::firstBytes(root.parent_path() / "sys" / "class" / "net" / name / "operstate", maximumStateSize);
    std::string state;
    if (!text || !(std::istringstream(*text) >> state)) return true;
    return state != "down" && state != "lowerlayerdown" && state != "notpresent";
}

// A default route over an interface that is up, in the table of the family (AF_INET, AF_INET6),
// or in either table for AF_UNSPEC.
std::optional<bool> hasDefaultRoute(const std::filesystem::path& root, int family) {
    bool readable = false;
    if (family != AF_INET6) {
        auto routes = table(root / "net" / "route");
        std::string line;
        if (routes && std::getline(*routes, line)) {  // header line
            readable = true;
            while (std::getline(*routes, line)) {
                std::istringstream fields(line);
                std::string interface, destination, gateway;
                unsigned flags = 0;
                if (!(fields >> interface >> destination >> gateway >> std::hex >> flags)) continue;
                if (destination == "00000000" && (flags & 0x1 /* up */) && interfaceIsUp(root, interface)) return true;
            }
        }
    }
    if (family != AF_INET) {
        if (auto routes = table(root / "net" / "ipv6_route")) {
            readable = true;
            std::string line;
            while (std::getline(*routes, line)) {
                std::istringstream fields(line);
                std::string destination, prefix, source, sourcePrefix, nextHop, metric, references, use, flags, interface;
                if (!(fields >> destination >> prefix >> source >> sourcePrefix >> nextHop >> metric >> references >> use >>
                      flags >> interface))
                    continue;
                unsigned long flagBits = 0;
                if (std::from_chars(flags.data(), flags.data() + flags.size(), flagBits, 16).ec != std::errc()) continue;
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
bool isWildcard(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET)
        return reinterpret_cast<const sockaddr_in&>(address).sin_addr.s_addr == INADDR_ANY;
    const auto& six = reinterpret_cast<const sockaddr_in6&>(address).sin6_addr;
    return IN6_IS_ADDR_UNSPECIFIED(&six);
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
        root = procRoot.value_or(SystemRoot::resolve("/proc"));
    }
    const auto* address = reinterpret_cast<const sockaddr*>(&target->address);
    if (provider) {
        auto answer = provider(address);
        if (!answer) return false;
        *flags = *answer;
        return true;
    }
    // The wildcard address of either family stands for "the network": reachable while some default
    // route is up, over IPv4 or IPv6. Any other address is judged by the routes of its family.
    auto reachable = hasDefaultRoute(root, isWildcard(target->address) ? AF_UNSPEC : address->sa_family);
    if (!reachable) return false;
    *flags = *reachable ? kSCNetworkReachabilityFlagsReachable : 0;
    return true;
}

void SCNetworkReachabilitySetProcRoot(const std::filesystem::path& root) {
    std::lock_guard lock(settingsMutex);
    procRoot = root.empty() ? std::nullopt : std::optional(root);
}

void SCNetworkReachabilitySetFlagsProvider(
    std::function<std::optional<SCNetworkReachabilityFlags>(const sockaddr*)> provider) {
    std::lock_guard lock(settingsMutex);
    flagsProvider = std::move(provider);
}
