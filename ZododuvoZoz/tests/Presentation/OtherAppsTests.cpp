#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include <nlohmann/json.hpp>

#include "../../../ZuzeDiv/tests/LoopbackServer.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "PresentationTestSupport.hpp"
#include "QuartzCore/CALayer.hpp"
#include "ZododuvoZoz/Presentation/OtherAppsViewController.hpp"

using namespace ZododuvoZoz;
using namespace std::chrono_literals;

namespace presentation_tests {
namespace {

OtherApp app(const std::string& id, const std::string& iconUrl = "") {
    return {id, "Name of " + id, "Deutsch: " + id, "English: " + id, iconUrl, "https://apps.example.com/" + id};
}

std::string feed(const std::vector<OtherApp>& apps) { return stringFromData(OtherApps{apps}.encode()); }

std::string answer(const std::string& body) { return LoopbackServer::answer(200, "OK", body); }

// PNG bytes of a small red square.
std::string redSquarePNG() {
    auto layer = CALayer::make();
    layer->setBounds({0, 0, 16, 12});
    layer->setBackgroundColor(CGColor{1, 0, 0, 1});
    return stringFromData(ViewRenderer::image(*layer, 1.0)->pngData());
}

// The feed document with the second entry changed by `edit`.
std::vector<OtherApp> parsed(const std::function<void(nlohmann::json&)>& edit) {
    nlohmann::json document = nlohmann::json::parse(feed({app("a"), app("b"), app("c")}));
    edit(document);
    return Marketing::apps(dataFromString(document.dump()), std::nullopt);
}

}  // namespace

TEST(OtherAppsFeed, DecodesTheSixKeysOfEveryEntryAndIgnoresOthers) {
    std::string text = R"({"version": 2, "apps": [{"storeUrl": "https://s/1", "iconUrl": "https://i/1", "price": 3,
        "english": "Counts", "german": "Zählt", "name": "Counter", "bundleIdentifier": "com.example.counter"}]})";
    auto decoded = OtherApps::decode(dataFromString(text));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->apps.size(), 1u);
    EXPECT_EQ(decoded->apps[0], (OtherApp{"com.example.counter", "Counter", "Zählt", "Counts", "https://i/1", "https://s/1"}));

    // Written back with exactly the feed's keys.
    auto written = nlohmann::json::parse(stringFromData(decoded->encode()));
    EXPECT_EQ(written.size(), 1u);
    std::vector<std::string> keys;
    for (const auto& [key, value] : written["apps"][0].items()) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"bundleIdentifier", "english", "german", "iconUrl", "name", "storeUrl"}));
}

TEST(OtherAppsFeed, OneBadEntryEmptiesTheWholeList) {
    EXPECT_EQ(parsed([](nlohmann::json&) {}).size(), 3u);
    EXPECT_TRUE(parsed([](nlohmann::json& d) { d["apps"][1].erase("storeUrl"); }).empty());
    EXPECT_TRUE(parsed([](nlohmann::json& d) { d["apps"][1]["name"] = nullptr; }).empty());
    EXPECT_TRUE(parsed([](nlohmann::json& d) { d["apps"][1]["german"] = 5; }).empty());
    EXPECT_TRUE(parsed([](nlohmann::json& d) { d["apps"][1] = "b"; }).empty());
    EXPECT_TRUE(parsed([](nlohmann::json& d) { d["apps"] = d["apps"][0]; }).empty());
    EXPECT_TRUE(parsed([](nlohmann::json& d) { d = d["apps"]; }).empty());
    EXPECT_TRUE(parsed([](nlohmann::json& d) { d = nlohmann::json::object(); }).empty());
    EXPECT_TRUE(Marketing::apps(dataFromString("{\"apps\": [}"), std::nullopt).empty());
    EXPECT_TRUE(Marketing::apps(Data{}, std::nullopt).empty());
    EXPECT_TRUE(Marketing::apps(std::nullopt, std::nullopt).empty());
    // An empty list is a list.
    EXPECT_TRUE(OtherApps::decode(dataFromString(R"({"apps": []})")));
}

TEST(OtherAppsFeed, TheFilterRemovesEveryExactMatchAndKeepsTheOrder) {
    auto data = dataFromString(feed({app("a"), app("com.quillon"), app("b"), app("com.quillon"), app("c")}));
    auto ids = [&](const std::optional<std::string>& filter) {
        std::vector<std::string> result;
        for (const auto& entry : Marketing::apps(data, filter)) result.push_back(entry.bundleIdentifier);
        return result;
    };
    EXPECT_EQ(ids("com.quillon"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ids(std::nullopt).size(), 5u);
    EXPECT_EQ(ids("COM.QUILLON").size(), 5u);   // case counts
    EXPECT_EQ(ids("com.quillon ").size(), 5u);  // nothing is trimmed
}

class OtherAppsFetch : public PresentationTest {
protected:
    void TearDown() override {
        Marketing::setFeedAddress(std::nullopt);
        PresentationTest::TearDown();
    }

    // Fetches with the filter and waits for the answer, which must come on another thread.
    std::vector<OtherApp> fetch(const std::optional<std::string>& filter) {
        auto promise = std::make_shared<std::promise<std::pair<std::vector<OtherApp>, std::thread::id>>>();
        auto future = promise->get_future();
        Marketing::fetchApps(filter, [promise](std::vector<OtherApp> apps) {
            promise->set_value({std::move(apps), std::this_thread::get_id()});
        });
        if (future.wait_for(20s) != std::future_status::ready) throw std::runtime_error("no answer");
        auto [apps, thread] = future.get();
        answeredOn = thread;
        return apps;
    }

    std::thread::id answeredOn;
};

TEST_F(OtherAppsFetch, AsksTheFeedAddressAndAnswersOnTheSessionQueue) {
    LoopbackServer server([](const LoopbackServer::Request& request) -> std::optional<std::string> {
        if (request.target == "/files/Apps.json") return answer(feed({app("a"), app("me"), app("b")}));
        // An error status with a feed as its body: the data counts, not the status.
        return LoopbackServer::answer(404, "Not Found", feed({app("x")}));
    });
    EXPECT_EQ(Marketing::feedAddress(), "https://quillon.example.com/files/Apps.json");
    Marketing::setFeedAddress(server.base() + "/files/Apps.json");
    auto apps = fetch("me");
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[1].bundleIdentifier, "b");
    EXPECT_NE(answeredOn, std::this_thread::get_id());
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].method, "GET");

    Marketing::setFeedAddress(server.base() + "/elsewhere/Apps.json");
    EXPECT_EQ(fetch(std::nullopt).size(), 1u);
}

TEST_F(OtherAppsFetch, NoDataOrABadDocumentGivesAnEmptyList) {
    LoopbackServer server([](const LoopbackServer::Request&) -> std::optional<std::string> { return answer("<html>"); });
    Marketing::setFeedAddress(server.base() + "/files/Apps.json");
    EXPECT_TRUE(fetch(std::nullopt).empty());
    Marketing::setFeedAddress("http://127.0.0.1:1/files/Apps.json");  // nobody listens
    EXPECT_TRUE(fetch(std::nullopt).empty());
    Marketing::setFeedAddress("http://no host/files/Apps.json");  // forms no URL
    EXPECT_TRUE(fetch(std::nullopt).empty());
}

// The screen from the storyboard, laid out at its size.
class OtherAppsScreen : public OtherAppsFetch {
protected:
    void SetUp() override {
        OtherAppsFetch::SetUp();
        Locale::setCurrent("en_US");
        controller = Marketing::otherAppsController();
        ASSERT_TRUE(controller);
        root = controller->view();
        root->layoutSubtreeIfNeeded();
        collection = controller->collectionView.lock();
        ASSERT_TRUE(collection);
    }

    std::shared_ptr<OtherAppCell> cell(int index) const {
        return std::dynamic_pointer_cast<OtherAppCell>(collection->item({0, index}));
    }
    void show(const std::vector<OtherApp>& apps) {
        controller->setApps(apps);
        collection->reloadData();
    }

    std::shared_ptr<OtherAppsViewController> controller;
    std::shared_ptr<NSView> root;
    std::shared_ptr<NSCollectionView> collection;
};

TEST_F(OtherAppsScreen, ShowsTheFetchedAppsOnlyWhenTheMainQueueRuns) {
    std::atomic<bool> answered = false;
    LoopbackServer server([&](const LoopbackServer::Request&) -> std::optional<std::string> {
        answered = true;
        return answer(feed({app("a"), app("com.host"), app("b"), app("c")}));
    });
    Marketing::setFeedAddress(server.base() + "/files/Apps.json");
    controller->setFilter("com.host");
    controller->viewWillAppear();
    auto scroll = controller->scrollView.lock();
    EXPECT_FALSE(scroll->drawsBackground());
    EXPECT_EQ(scroll->backgroundColor(), NSColor::clearColor());
    controller->viewDidAppear();

    // Answered and decoded on the session's queue; nothing on screen has changed yet.
    for (int i = 0; i < 500 && !answered; ++i) std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(controller->apps().empty());
    EXPECT_EQ(collection->numberOfSections(), 0);

    ASSERT_TRUE(waitFor([&] { return controller->apps().size() == 3; }));
    EXPECT_FALSE(scroll->isHidden());
    EXPECT_TRUE(controller->infoView.lock()->isHidden());
    ASSERT_EQ(collection->numberOfItems(0), 3);
    EXPECT_EQ(cell(1)->appTitle.lock()->stringValue(), "Name of b");
    // Tiles of 256 by 232 from the insets, 8 apart, the third on the next line 16 lower.
    EXPECT_EQ(cell(0)->view()->frame(), (CGRect{24, 24, 256, 232}));
    EXPECT_EQ(cell(1)->view()->frame(), (CGRect{288, 24, 256, 232}));
    EXPECT_EQ(cell(2)->view()->frame(), (CGRect{24, 272, 256, 232}));
}

TEST_F(OtherAppsScreen, EachRefreshReplacesTheListAndAnEmptyOneShowsTheInformationView) {
    std::atomic<int> served = 0;
    std::string body = feed({app("a"), app("b")});
    std::mutex mutex;
    LoopbackServer server([&](const LoopbackServer::Request&) -> std::optional<std::string> {
        std::lock_guard lock(mutex);
        ++served;
        return answer(body);
    });
    Marketing::setFeedAddress(server.base() + "/files/Apps.json");
    auto scroll = controller->scrollView.lock();
    auto info = controller->infoView.lock();
    controller->viewDidAppear();
    ASSERT_TRUE(waitFor([&] { return controller->apps().size() == 2; }));

    {
        std::lock_guard lock(mutex);
        body = R"({"apps": []})";
    }
    controller->refresh();
    ASSERT_TRUE(waitFor([&] { return scroll->isHidden(); }));
    EXPECT_FALSE(info->isHidden());
    EXPECT_EQ(collection->numberOfItems(0), 0);

    {
        std::lock_guard lock(mutex);
        body = feed({app("c")});
    }
    ASSERT_TRUE(controller->refreshAction().send(*controller, nullptr));
    ASSERT_TRUE(waitFor([&] { return !scroll->isHidden(); }));
    EXPECT_TRUE(info->isHidden());
    EXPECT_EQ(controller->apps(), (std::vector<OtherApp>{app("c")}));
    EXPECT_EQ(served, 3);
}

TEST_F(OtherAppsScreen, AnAnswerToAnOlderRefreshThatComesLateIsDropped) {
    // The first refresh's host answers, with no feed, only once the second refresh is shown.
    std::atomic<bool> release = false;
    LoopbackServer slow([&](const LoopbackServer::Request&) -> std::optional<std::string> {
        while (!release) std::this_thread::sleep_for(5ms);
        return answer("<html>");
    });
    LoopbackServer fast([](const LoopbackServer::Request&) -> std::optional<std::string> { return answer(feed({app("new")})); });
    // However the test ends, the slow host lets go before the servers stop.
    auto releaseAtTheEnd = std::shared_ptr<void>(nullptr, [&](void*) { release = true; });

    Marketing::setFeedAddress(slow.base() + "/files/Apps.json");
    controller->refresh();
    ASSERT_TRUE(waitFor([&] { return slow.requests().size() == 1; }));
    Marketing::setFeedAddress(fast.base() + "/files/Apps.json");
    controller->refresh();
    ASSERT_TRUE(waitFor([&] { return controller->apps().size() == 1; }));

    release = true;
    EXPECT_FALSE(RunLoop::main().runUntil([&] { return controller->apps().empty(); }, 0.5));
    EXPECT_EQ(controller->apps(), (std::vector<OtherApp>{app("new")}));
}

TEST_F(OtherAppsScreen, TheSubtitleIsGermanForLanguageCodesContainingDe) {
    auto subtitleIn = [&](const std::string& locale) {
        Locale::setCurrent(locale);
        show({app("a")});
        return cell(0)->appSubtitle.lock()->stringValue();
    };
    EXPECT_EQ(subtitleIn("de_DE"), "Deutsch: a");
    EXPECT_EQ(subtitleIn("de"), "Deutsch: a");
    EXPECT_EQ(subtitleIn("DE_AT"), "Deutsch: a");
    EXPECT_EQ(subtitleIn("en_US"), "English: a");
    EXPECT_EQ(subtitleIn("fr_FR"), "English: a");
    EXPECT_EQ(subtitleIn(""), "English: a");  // no language code
}

TEST_F(OtherAppsScreen, IconsArriveLaterOnTheMainQueue) {
    std::string png = redSquarePNG();
    LoopbackServer server([&](const LoopbackServer::Request& request) -> std::optional<std::string> {
        if (request.target == "/icon.png") return answer(png);
        return LoopbackServer::answer(404, "Not Found", "");
    });
    // A file address is read when it names a regular file: a FIFO or a device shows none.
    TemporaryDirectory folder;
    auto local = [&](const std::string& name) { return URL::fileURLWithPath((folder.path() / name).string()).absoluteString(); };
    folder.write("icon.png", png);
    ASSERT_EQ(::mkfifo((folder.path() / "fifo.png").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder.path() / "zero.png");
    show({app("a", local("icon.png")), app("b", server.base() + "/icon.png"), app("c", "no icon here"),
          app("d", server.base() + "/gone.png"), app("e", local("fifo.png")), app("f", local("zero.png"))});
    auto icon = cell(1)->iconView.lock();
    EXPECT_EQ(icon->image(), nullptr);
    ASSERT_TRUE(waitFor([&] { return icon->image() != nullptr && cell(0)->iconView.lock()->image() != nullptr; }));
    EXPECT_EQ(icon->image()->size(), (CGSize{16, 12}));
    EXPECT_EQ(cell(0)->iconView.lock()->image()->size(), (CGSize{16, 12}));
    EXPECT_EQ(cell(2)->iconView.lock()->image(), nullptr);
    ASSERT_TRUE(waitFor([&] { return server.requests().size() == 2; }));
    runUntilIdle();
    for (int item : {3, 4, 5}) EXPECT_EQ(cell(item)->iconView.lock()->image(), nullptr) << item;
}

TEST_F(OtherAppsScreen, AClickOpensTheStorePageAndClearsTheSelection) {
    auto broken = app("b");
    broken.storeUrl = "not an address";
    show({app("a"), broken});
    // Root coordinates: the 480-point screen is unflipped, the collection runs from the top.
    collection->mouseDown(click({40, 480 - 40}));
    EXPECT_EQ(opened, (std::vector<std::string>{"https://apps.example.com/a"}));
    EXPECT_TRUE(collection->selectionIndexPaths().empty());
    EXPECT_FALSE(cell(0)->isSelected());
    collection->mouseDown(click({300, 480 - 40}));
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(collection->selectionIndexPaths().empty());

    Marketing::openDeveloperPage();
    EXPECT_EQ(opened.back(), Marketing::developerPageAddress());
}

}  // namespace presentation_tests
