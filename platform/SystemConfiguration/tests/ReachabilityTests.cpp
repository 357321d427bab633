#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "SystemConfiguration/SCNetworkReachability.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Testing/TestEnvironment.hpp"

class KernelRoutes : public ::testing::Test {
protected:
    void TearDown() override { SCNetworkReachabilitySetProcRoot({}); }

    std::optional<SCNetworkReachabilityFlags> flagsFor(int family) {
        sockaddr_storage address{};
        address.ss_family = static_cast<sa_family_t>(family);
        auto target = SCNetworkReachabilityCreateWithAddress(nullptr, reinterpret_cast<sockaddr*>(&address));
        SCNetworkReachabilityFlags flags = 0;
        if (!SCNetworkReachabilityGetFlags(target, &flags)) return std::nullopt;
        return flags;
    }

    TemporaryDirectory machine;
    const std::string header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
};

TEST_F(KernelRoutes, ADefaultRouteOverAnUpInterfaceIsReachable) {
    machine.write("proc/net/route", header +
                  "eth0\t00000000\t0102A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
                  "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n");
    machine.write("sys/class/net/eth0/operstate", "up\n");
    SCNetworkReachabilitySetProcRoot(machine.path() / "proc");
    EXPECT_EQ(flagsFor(AF_INET), kSCNetworkReachabilityFlagsReachable);
}

TEST_F(KernelRoutes, OnlyLocalRoutesOrADownInterfaceAreNotReachable) {
    machine.write("proc/net/route", header + "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n");
    SCNetworkReachabilitySetProcRoot(machine.path() / "proc");
    EXPECT_EQ(flagsFor(AF_INET), 0u);

    machine.write("proc/net/route", header + "wlan0\t00000000\t0102A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n");
    machine.write("sys/class/net/wlan0/operstate", "down\n");
    EXPECT_EQ(flagsFor(AF_INET), 0u);
}

TEST_F(KernelRoutes, UnreadableTablesGiveNoFlagsAndBadAddressesNoTarget) {
    SCNetworkReachabilitySetProcRoot(machine.path() / "nothing-here");
    EXPECT_FALSE(flagsFor(AF_INET));
    std::filesystem::create_directories(machine.path() / "proc/net");
    ASSERT_EQ(::mkfifo((machine.path() / "proc/net/route").c_str(), 0600), 0);  // not waited for
    SCNetworkReachabilitySetProcRoot(machine.path() / "proc");
    EXPECT_FALSE(flagsFor(AF_INET));
    sockaddr unknown{};
    unknown.sa_family = AF_UNIX;
    EXPECT_FALSE(SCNetworkReachabilityCreateWithAddress(nullptr, &unknown));
    EXPECT_FALSE(SCNetworkReachabilityCreateWithAddress(nullptr, nullptr));
}

TEST_F(KernelRoutes, AnIPv6DefaultRouteAloneMakesTheNetworkReachable) {
    const std::string anyV6(32, '0');
    machine.write("proc/net/route", header);
    machine.write("proc/net/ipv6_route",
                  anyV6 + " 00 " + anyV6 + " 00 " + anyV6 + " ffffffff 00000001 00000000 zzzzzzzz lo\n" +  // unreadable flags
                  anyV6 + " 00 " + anyV6 + " 00 fe800000000000000000000000000001 00000400 00000001 00000000 00450003 eth0\n");
    SystemRoot::setPath(machine.path());  // the tables under the system root
    EXPECT_EQ(flagsFor(AF_INET), kSCNetworkReachabilityFlagsReachable);
    EXPECT_EQ(flagsFor(AF_INET6), kSCNetworkReachabilityFlagsReachable);
    SystemRoot::setPath(std::nullopt);
}
