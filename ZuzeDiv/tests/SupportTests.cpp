#include <gtest/gtest.h>

#include <vector>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "ZuzeDiv/Constants.hpp"
#include "ZuzeDiv/Images.hpp"
#include "ZuzeDiv/MulticastDelegate.hpp"
#include "ZuzeDiv/Support.hpp"
#include "ZuzeDiv/Version.hpp"

using namespace ZuzeDiv;

TEST(Version, ComparesNumerically) {
    EXPECT_TRUE(Version("1.10") > Version("1.9"));
    EXPECT_TRUE(Version("1.9") < Version("1.10"));
    EXPECT_TRUE(Version("2.0") > Version("1.12"));
    EXPECT_TRUE(Version("1.2") == Version("1.2"));
    EXPECT_FALSE(Version("1.2") < Version("1.2"));
    EXPECT_FALSE(Version("1.2") > Version("1.2"));
    EXPECT_EQ(Version("3.1").description(), "3.1");
}

namespace {
struct Listener {
    int calls = 0;
};
}  // namespace

TEST(MulticastDelegate, CallsLiveDelegatesOnceAndRemovesByIdentity) {
    MulticastDelegate<Listener> delegates;
    auto a = std::make_shared<Listener>(), b = std::make_shared<Listener>();
    delegates.add(a);
    delegates.add(a);
    delegates.add(b);
    delegates.invoke([](Listener& l) { ++l.calls; });
    EXPECT_EQ(a->calls, 1);
    EXPECT_EQ(b->calls, 1);

    delegates.remove(std::make_shared<Listener>());  // never added: nothing changes
    EXPECT_EQ(delegates.count(), 2u);
    delegates.remove(a);
    b.reset();  // released elsewhere
    delegates.invoke([](Listener& l) { ++l.calls; });
    EXPECT_EQ(a->calls, 1);
    EXPECT_EQ(delegates.count(), 0u);
}

class SupportTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSWorkspace::shared().setURLOpener([this](const URL& url) {
            opened.push_back(url.absoluteString());
            return true;
        });
    }
    void TearDown() override { NSWorkspace::shared().setURLOpener(nullptr); }
    std::vector<std::string> opened;
};

TEST_F(SupportTest, OpensValidAddressesOnly) {
    Support::openURL("");
    Support::openURL("http://bad address");
    EXPECT_TRUE(opened.empty());
    Support::openContactPage();
    Support::openFAQPage();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].rfind("http://", 0), 0u);  // plain web addresses
    EXPECT_NE(opened[0], opened[1]);
}

TEST(Images, SymbolsByNameWithTheirConfiguration) {
    EXPECT_FALSE(Images::systemSymbol("not.a.symbol"));
    auto symbol = Images::configuredSymbol("keyboard", 14, NSFont::Weight::semibold());
    ASSERT_TRUE(symbol);
    EXPECT_EQ(symbol->symbolConfiguration()->weight, NSFont::Weight::semibold());
    EXPECT_FALSE(Images::configuredSymbol("not.a.symbol", 14, NSFont::Weight::regular()));
    EXPECT_FALSE(Images::named("no-such-image"));
}

TEST(Constants, ByteUnitsAndPowersOfTen) {
    EXPECT_EQ(Constants::EiB, Constants::PiB * 1024);
    EXPECT_EQ(Constants::quintillion, Constants::quadrillion * 1000);
}
