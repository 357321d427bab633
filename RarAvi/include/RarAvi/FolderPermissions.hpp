#pragma once
// Folders the user picked in an open panel, kept as security-scoped bookmarks so that they stay
// reachable in later launches, with access started to each of them.
//
// FolderPermissions keeps one bookmark per folder in the user-defaults store it is given, under
// the folder's path, and the list of those paths under "Bookmarks"; made again (in a later
// launch), it resolves every kept bookmark and starts access to each folder. SecureFolders does
// the same through static operations over the standard user defaults, under keys the caller
// chooses. Both show the panel as a sheet: folders only, one at a time, no new folders. Used from
// the main thread.
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AppKit/NSWindow.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/URLBookmarks.hpp"
#include "Foundation/UserDefaults.hpp"

namespace RarAvi {

/// URLs in a set, told apart by their text without the trailing "/" that only says a URL names a
/// folder (so "/a/" and "/a" are one folder).
struct URLOrder {
    bool operator()(const URL& a, const URL& b) const;
};
using URLSet = std::set<URL, URLOrder>;

class IFolderPermissions {
public:
    virtual ~IFolderPermissions() = default;
    virtual int count() const = 0;
    virtual const std::vector<std::string>& keys() const = 0;
    virtual const URLSet& storedUrls() const = 0;
    virtual URLBookmarkCreationOptions creationOptions() const = 0;
    virtual void setCreationOptions(URLBookmarkCreationOptions options) = 0;
    virtual URLBookmarkResolutionOptions resolutionOptions() const = 0;
    virtual void setResolutionOptions(URLBookmarkResolutionOptions options) = 0;
    virtual bool store(const URL& url) = 0;
    virtual void remove(const std::string& key) = 0;
    virtual void remove(const URL& url) = 0;
    virtual void requestAccess(const std::shared_ptr<NSWindow>& window, std::function<void(std::optional<URL>)> completion) = 0;
    virtual void requestAccess(const std::shared_ptr<NSWindow>& window, const URL& directory,
                               std::function<void(std::optional<URL>)> completion) = 0;
    virtual bool contains(const URL& url) const = 0;
    virtual bool containsAll(const std::vector<URL>& urls) const = 0;
    virtual void removeAll() = 0;
};

class FolderPermissions : public IFolderPermissions, public std::enable_shared_from_this<FolderPermissions> {
public:
    /// The user-defaults key of the list of kept paths.
    const std::string key = "Bookmarks";

    /// A keeper of the store (bookmarks made and resolved with security scope, unless given other
    /// options) that has resolved every bookmark kept there and started access to its folder.
    static std::shared_ptr<FolderPermissions> make(std::shared_ptr<UserDefaults> userDefaults);
    static std::shared_ptr<FolderPermissions> make(std::shared_ptr<UserDefaults> userDefaults,
                                                   URLBookmarkCreationOptions creationOptions,
                                                   URLBookmarkResolutionOptions resolutionOptions);

    const std::shared_ptr<UserDefaults>& userDefaults() const { return userDefaults_; }
    /// The kept paths in the order they were added (a path may occur more than once).
    const std::vector<std::string>& keys() const override { return keys_; }
    /// The folders whose access this keeper started.
    const URLSet& storedUrls() const override { return storedUrls_; }
    int count() const override { return static_cast<int>(storedUrls_.size()); }
    URLBookmarkCreationOptions creationOptions() const override { return creationOptions_; }
    void setCreationOptions(URLBookmarkCreationOptions options) override { creationOptions_ = options; }
    URLBookmarkResolutionOptions resolutionOptions() const override { return resolutionOptions_; }
    void setResolutionOptions(URLBookmarkResolutionOptions options) override { resolutionOptions_ = options; }

    /// Makes and keeps a bookmark of the folder and starts access; false (nothing written) when
    /// no bookmark can be made or access is refused.
    bool store(const URL& url) override;
    /// Forgets the folder kept under the path (its access keeps running).
    void remove(const std::string& key) override;
    void remove(const URL& url) override;
    void removeAll() override;
    /// Shows the panel on the window, starting in the folder; the completion gets the folder
    /// once it is kept, or nothing when the user cancels or it cannot be kept. A keeper released
    /// before the answer comes keeps nothing.
    void requestAccess(const std::shared_ptr<NSWindow>& window, const URL& directory,
                       std::function<void(std::optional<URL>)> completion) override;
    /// The same, starting in the user's home folder.
    void requestAccess(const std::shared_ptr<NSWindow>& window, std::function<void(std::optional<URL>)> completion) override;
    bool contains(const URL& url) const override;
    /// True for an empty list; otherwise whether every URL is kept.
    bool containsAll(const std::vector<URL>& urls) const override;
    /// Resolves one bookmark and starts access to its folder; a stale bookmark is left alone.
    void resolve(const std::string& key, const Data& data);

private:
    FolderPermissions(std::shared_ptr<UserDefaults> userDefaults, URLBookmarkCreationOptions creationOptions,
                      URLBookmarkResolutionOptions resolutionOptions);
    void load();
    void writeKeys();

    std::shared_ptr<UserDefaults> userDefaults_;
    std::vector<std::string> keys_;
    URLSet storedUrls_;
    URLBookmarkCreationOptions creationOptions_ = URLBookmarkCreationOptions::withSecurityScope();
    URLBookmarkResolutionOptions resolutionOptions_ = URLBookmarkResolutionOptions::withSecurityScope();
};

class SecureFolders {
public:
    SecureFolders() = delete;

    /// The window the panel is shown on; without one the panel is shown on its own.
    static std::shared_ptr<NSWindow> window();
    static void setWindow(const std::shared_ptr<NSWindow>& window);
    /// The folders whose access was started here.
    static const URLSet& urls();

    /// Resolves the bookmark under each key of the standard user defaults.
    static void resolve(const std::vector<std::string>& keys);
    static void resolve(const std::string& key, const Data& data);
    /// Makes a bookmark of the folder, starts access and keeps the bookmark under the key; false
    /// (nothing written) when that fails.
    static bool store(const URL& url, const std::string& key);
    /// Stops access to the folder.
    static void remove(const URL& url);
    /// Removes those of the keys the standard user defaults hold.
    static void remove(const std::vector<std::string>& keys);
    /// Shows the panel with the prompt; the completion gets true once the chosen folder is kept
    /// under the key, false when the user cancels or it cannot be kept.
    static void requestAccess(const URL& directory, const std::string& key, const std::string& prompt,
                              std::function<void(bool)> completion);
    static bool contains(const URL& url);
    static bool containsAll(const std::vector<URL>& urls);
};

}  // namespace RarAvi
