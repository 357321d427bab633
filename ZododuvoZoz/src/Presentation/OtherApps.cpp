#include "ZododuvoZoz/Presentation/OtherApps.hpp"

#include <array>
#include <mutex>

#include "AppKit/NSStoryboard.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "Foundation/URL.hpp"
#include "Presentation/PresentationStoryboards.hpp"
#include "ZododuvoZoz/Presentation/OtherAppsViewController.hpp"
#include "ZododuvoZoz/Resources.hpp"
#include "ZuzeDiv/WebRequest.hpp"

namespace ZododuvoZoz {

namespace {
const std::array<std::string, 6>& appKeys() {
    static const std::array<std::string, 6> keys{"bundleIdentifier", "name", "german", "english", "iconUrl", "storeUrl"};
    return keys;
}

const std::string& key(OtherApp::CodingKeys k) { return appKeys()[static_cast<std::size_t>(k)]; }

const std::string defaultFeedAddress = "https://quillon.example.com/files/Apps.json";

std::mutex& feedMutex() {
    static std::mutex mutex;
    return mutex;
}
std::optional<std::string>& feedOverride() {
    static std::optional<std::string> address;
    return address;
}
}  // namespace

std::string_view OtherApp::rawValue(CodingKeys k) { return key(k); }

std::optional<OtherApp::CodingKeys> OtherApp::codingKey(std::string_view rawValue) {
    for (std::size_t i = 0; i < appKeys().size(); ++i) {
        if (appKeys()[i] == rawValue) return static_cast<CodingKeys>(i);
    }
    return std::nullopt;
}

std::string_view OtherApps::rawValue(CodingKeys) { return "apps"; }

std::optional<OtherApps::CodingKeys> OtherApps::codingKey(std::string_view rawValue) {
    if (rawValue == "apps") return CodingKeys::apps;
    return std::nullopt;
}

void to_json(nlohmann::json& json, const OtherApp& app) {
    using K = OtherApp::CodingKeys;
    json = nlohmann::json::object();
    json[key(K::bundleIdentifier)] = app.bundleIdentifier;
    json[key(K::name)] = app.name;
    json[key(K::german)] = app.german;
    json[key(K::english)] = app.english;
    json[key(K::iconUrl)] = app.iconUrl;
    json[key(K::storeUrl)] = app.storeUrl;
}

void from_json(const nlohmann::json& json, OtherApp& app) {
    using K = OtherApp::CodingKeys;
    // at() fails for a missing key and get() for any value that is no string, null included.
    app.bundleIdentifier = json.at(key(K::bundleIdentifier)).get<std::string>();
    app.name = json.at(key(K::name)).get<std::string>();
    app.german = json.at(key(K::german)).get<std::string>();
    app.english = json.at(key(K::english)).get<std::string>();
    app.iconUrl = json.at(key(K::iconUrl)).get<std::string>();
    app.storeUrl = json.at(key(K::storeUrl)).get<std::string>();
}

void to_json(nlohmann::json& json, const OtherApps& feed) { json = nlohmann::json{{"apps", feed.apps}}; }

void from_json(const nlohmann::json& json, OtherApps& feed) {
    // get() fails unless "apps" is an array.
    feed.apps = json.at("apps").get<std::vector<OtherApp>>();
}

std::optional<OtherApps> OtherApps::decode(const Data& data) {
    try {
        return nlohmann::json::parse(data.begin(), data.end()).get<OtherApps>();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

Data OtherApps::encode() const {
    nlohmann::json json = *this;
    return dataFromString(json.dump());
}

std::string Marketing::feedAddress() {
    std::lock_guard lock(feedMutex());
    return feedOverride().value_or(defaultFeedAddress);
}

void Marketing::setFeedAddress(const std::optional<std::string>& address) {
    std::lock_guard lock(feedMutex());
    feedOverride() = address;
}

std::string Marketing::developerPageAddress() { return "https://apps.example.com/developer/quillon"; }

void Marketing::openDeveloperPage() {
    if (auto url = URL::string(developerPageAddress())) NSWorkspace::shared().open(*url);
}

std::shared_ptr<OtherAppsViewController> Marketing::otherAppsController() {
    registerPresentationStoryboards();
    auto storyboard = NSStoryboard::make("OtherApps", Resources::bundle());
    if (!storyboard) return nullptr;
    return std::dynamic_pointer_cast<OtherAppsViewController>(storyboard->instantiateInitialController());
}

std::vector<OtherApp> Marketing::apps(const std::optional<Data>& data, const std::optional<std::string>& filter) {
    if (!data) return {};
    auto feed = OtherApps::decode(*data);
    if (!feed) return {};
    if (filter) std::erase_if(feed->apps, [&](const OtherApp& app) { return app.bundleIdentifier == *filter; });
    return std::move(feed->apps);
}

void Marketing::fetchApps(const std::optional<std::string>& filter, std::function<void(std::vector<OtherApp>)> completion) {
    // Whether an error came with the data is not looked at: data that decodes is shown.
    ZuzeDiv::WebRequest::get(feedAddress(), [filter, completion = std::move(completion)](std::optional<Data> data,
                                                                                        std::optional<URLError>) {
        if (completion) completion(apps(data, filter));
    });
}

}  // namespace ZododuvoZoz
