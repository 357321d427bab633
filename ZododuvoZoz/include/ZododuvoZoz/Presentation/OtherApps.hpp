#pragma once
// The maker's other applications: the feed's format, and the static operations that fetch it,
// open the maker's page in the store and make the screen that shows the applications.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "Foundation/Data.hpp"

namespace ZododuvoZoz {

class OtherAppsViewController;

/// One application of the feed.
struct OtherApp {
    /// The feed's keys, in order.
    enum class CodingKeys { bundleIdentifier, name, german, english, iconUrl, storeUrl };
    static std::string_view rawValue(CodingKeys key);
    static std::optional<CodingKeys> codingKey(std::string_view rawValue);

    /// Leaves the calling application out of the list.
    std::string bundleIdentifier;
    /// The tile's title.
    std::string name;
    /// The description for German users, and for everyone else.
    std::string german;
    std::string english;
    /// Absolute addresses of the icon and of the store page.
    std::string iconUrl;
    std::string storeUrl;

    bool operator==(const OtherApp&) const = default;
};

/// The feed: {"apps": [...]}. Every key is required and every value a string; a document that
/// lacks one anywhere, or has another kind of value there, does not decode at all. Other keys are
/// ignored.
struct OtherApps {
    enum class CodingKeys { apps };
    static std::string_view rawValue(CodingKeys key);
    static std::optional<CodingKeys> codingKey(std::string_view rawValue);

    std::vector<OtherApp> apps;

    /// The feed read from JSON; none when it does not decode.
    static std::optional<OtherApps> decode(const Data& data);
    Data encode() const;

    bool operator==(const OtherApps&) const = default;
};

void to_json(nlohmann::json& json, const OtherApp& app);
/// Throws nlohmann::json::exception for a missing key or a value that is no string.
void from_json(const nlohmann::json& json, OtherApp& app);
void to_json(nlohmann::json& json, const OtherApps& feed);
void from_json(const nlohmann::json& json, OtherApps& feed);

class Marketing {
public:
    Marketing() = delete;

    /// Opens the maker's developer page in the store with the shared workspace.
    static void openDeveloperPage();
    /// A new other-apps screen from the module's storyboard "OtherApps"; none when its initial
    /// controller is of another kind.
    static std::shared_ptr<OtherAppsViewController> otherAppsController();
    /// Fetches the feed and calls the completion once, on the URL session's queue, with its
    /// applications less those whose bundle identifier is `filter` (none without data, or for a
    /// document that does not decode).
    static void fetchApps(const std::optional<std::string>& filter, std::function<void(std::vector<OtherApp>)> completion);
    /// What a fetch gives for the data that came: the decoded applications in feed order, less
    /// those whose bundle identifier equals `filter` exactly.
    static std::vector<OtherApp> apps(const std::optional<Data>& data, const std::optional<std::string>& filter);

    /// The feed's address: "https://quillon.example.com/files/Apps.json" unless set; none
    /// restores it. Tests and demos point it at a server of their own.
    static std::string feedAddress();
    static void setFeedAddress(const std::optional<std::string>& address);
    /// The maker's developer page in the store.
    static std::string developerPageAddress();
};

}  // namespace ZododuvoZoz
