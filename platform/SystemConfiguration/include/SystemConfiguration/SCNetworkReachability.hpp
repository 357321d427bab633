#pragma once
// Network reachability: whether an address can be reached with the machine's current interfaces
// and routes. On Linux the answer comes from the kernel's routing tables under /proc: the wildcard
// address (of either family) is reachable while a default route over IPv4 or IPv6 is up. The tables
// are read only where they are regular files, each up to its first 4 MiB.
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

using SCNetworkReachabilityFlags = std::uint32_t;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsTransientConnection = 1u << 0;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsReachable = 1u << 1;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsConnectionRequired = 1u << 2;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsIsLocalAddress = 1u << 16;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsIsDirect = 1u << 17;

/// A reachability target: the address it was made for.
struct SCNetworkReachability {
    sockaddr_storage address{};
};
using SCNetworkReachabilityRef = std::shared_ptr<SCNetworkReachability>;

/// A target for an IPv4 or IPv6 address; nullptr for a missing or malformed address.
SCNetworkReachabilityRef SCNetworkReachabilityCreateWithAddress(const void* allocator, const sockaddr* address);
/// The flags of the target; false when they cannot be read.
bool SCNetworkReachabilityGetFlags(const SCNetworkReachabilityRef& target, SCNetworkReachabilityFlags* flags);

/// Seams: where the kernel's tables are read (/proc under the system root unless set; an empty
/// path restores that), and a provider that replaces
/// the reading altogether (absent flags mean "cannot be read"); nullptr restores the kernel.
void SCNetworkReachabilitySetProcRoot(const std::filesystem::path& root);
void SCNetworkReachabilitySetFlagsProvider(
    std::function<std::optional<SCNetworkReachabilityFlags>(const sockaddr*)> provider);
