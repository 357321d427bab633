#include "RarAvi/FolderPermissions.hpp"

#include <algorithm>

#include "AppKit/NSOpenPanel.hpp"
#include "Foundation/SystemLog.hpp"
#include "RarAvi/Directory.hpp"
#include "RarAvi/Resources.hpp"

namespace RarAvi {

namespace {
// The panel both keepers show: folders only, one at a time, no new folders.
std::shared_ptr<NSOpenPanel> folderPanel(const URL& directory, const std::string& prompt) {
    auto panel = NSOpenPanel::openPanel();
    panel->setDirectoryURL(directory);
    panel->setAllowsMultipleSelection(false);
    panel->setCanChooseDirectories(true);
    panel->setCanCreateDirectories(false);
    panel->setCanChooseFiles(false);
    panel->setPrompt(prompt);
    return panel;
}

struct SecureFoldersState {
    std::shared_ptr<NSWindow> window;
    URLSet urls;
};

SecureFoldersState& secureFolders() {
    static SecureFoldersState state;
    return state;
}

// A URL's text as a folder's: without the trailing "/" that only says the URL names a folder.
std::string folderText(const URL& url) {
    std::string text = url.absoluteString();
    if (url.encodedPath().size() > 1 && text.back() == '/') text.pop_back();
    return text;
}
}  // namespace

bool URLOrder::operator()(const URL& a, const URL& b) const { return folderText(a) < folderText(b); }

// MARK: - FolderPermissions

std::shared_ptr<FolderPermissions> FolderPermissions::make(std::shared_ptr<UserDefaults> userDefaults) {
    return make(std::move(userDefaults), URLBookmarkCreationOptions::withSecurityScope(),
                URLBookmarkResolutionOptions::withSecurityScope());
}

std::shared_ptr<FolderPermissions> FolderPermissions::make(std::shared_ptr<UserDefaults> userDefaults,
                                                           URLBookmarkCreationOptions creationOptions,
                                                           URLBookmarkResolutionOptions resolutionOptions) {
    return std::shared_ptr<FolderPermissions>(
        new FolderPermissions(std::move(userDefaults), creationOptions, resolutionOptions));
}

FolderPermissions::FolderPermissions(std::shared_ptr<UserDefaults> userDefaults, URLBookmarkCreationOptions creationOptions,
                                     URLBookmarkResolutionOptions resolutionOptions)
    : userDefaults_(std::move(userDefaults)), creationOptions_(creationOptions), resolutionOptions_(resolutionOptions) {
    load();
}

void FolderPermissions::load() {
    // A list that is not made of texts alone is ignored as a whole.
    auto paths = userDefaults_->stringArrayForKey(key);
    if (!paths) return;
    for (const auto& path : *paths) {
        if (auto data = userDefaults_->dataForKey(path)) resolve(path, *data);
    }
}

void FolderPermissions::resolve(const std::string& path, const Data& data) {
    bool stale = false;
    NSError error;
    auto url = resolvingBookmarkData(data, resolutionOptions_, &stale, &error);
    if (!url) {
        SystemLog::write(error.localizedDescription);
        return;
    }
    if (!stale && startAccessingSecurityScopedResource(*url)) {
        storedUrls_.insert(*url);
        keys_.push_back(path);
    }
}

bool FolderPermissions::store(const URL& url) {
    auto data = bookmarkData(url, creationOptions_);
    if (!data) return false;
    if (!startAccessingSecurityScopedResource(url)) return false;
    storedUrls_.insert(url);
    userDefaults_->set(PropertyListValue(*data), url.path());
    keys_.push_back(url.path());
    writeKeys();
    return true;
}

void FolderPermissions::writeKeys() { userDefaults_->set(PropertyListValue(keys_), key); }

void FolderPermissions::remove(const std::string& path) {
    userDefaults_->removeObject(path);
    auto found = std::find_if(storedUrls_.begin(), storedUrls_.end(), [&](const URL& url) { return url.path() == path; });
    if (found != storedUrls_.end()) storedUrls_.erase(found);
    std::erase(keys_, path);
    writeKeys();
}

void FolderPermissions::remove(const URL& url) {
    storedUrls_.erase(url);
    remove(url.path());
}

void FolderPermissions::removeAll() {
    for (const auto& path : std::vector<std::string>(keys_)) remove(path);
}

void FolderPermissions::requestAccess(const std::shared_ptr<NSWindow>& window, const URL& directory,
                                      std::function<void(std::optional<URL>)> completion) {
    auto panel = folderPanel(directory, Resources::localized("ALLOW"));
    std::weak_ptr<FolderPermissions> weak = weak_from_this();
    panel->beginSheetModal(window, [weak, panel, completion = std::move(completion)](NSModalResponse response) {
        std::optional<URL> kept;
        auto self = weak.lock();
        if (response == NSModalResponseOK && self) {
            if (auto url = panel->url(); url && self->store(*url)) kept = url;
        }
        if (completion) completion(kept);
    });
}

void FolderPermissions::requestAccess(const std::shared_ptr<NSWindow>& window, std::function<void(std::optional<URL>)> completion) {
    requestAccess(window, url(Directory::user), std::move(completion));
}

bool FolderPermissions::contains(const URL& url) const { return storedUrls_.count(url) > 0; }

bool FolderPermissions::containsAll(const std::vector<URL>& urls) const {
    if (urls.empty()) return true;
    if (storedUrls_.empty()) return false;
    return std::all_of(urls.begin(), urls.end(), [this](const URL& url) { return contains(url); });
}

// MARK: - SecureFolders

std::shared_ptr<NSWindow> SecureFolders::window() { return secureFolders().window; }

void SecureFolders::setWindow(const std::shared_ptr<NSWindow>& window) { secureFolders().window = window; }

const URLSet& SecureFolders::urls() { return secureFolders().urls; }

void SecureFolders::resolve(const std::vector<std::string>& keys) {
    for (const auto& key : keys) {
        if (auto data = UserDefaults::standard().dataForKey(key)) resolve(key, *data);
    }
}

void SecureFolders::resolve(const std::string&, const Data& data) {
    bool stale = false;
    auto url = resolvingBookmarkData(data, URLBookmarkResolutionOptions::withSecurityScope(), &stale);
    if (url && !stale && startAccessingSecurityScopedResource(*url)) secureFolders().urls.insert(*url);
}

bool SecureFolders::store(const URL& url, const std::string& key) {
    auto data = bookmarkData(url, URLBookmarkCreationOptions::withSecurityScope());
    if (!data || !startAccessingSecurityScopedResource(url)) return false;
    secureFolders().urls.insert(url);
    UserDefaults::standard().set(PropertyListValue(*data), key);
    return true;
}

void SecureFolders::remove(const URL& url) {
    stopAccessingSecurityScopedResource(url);
    secureFolders().urls.erase(url);
}

void SecureFolders::remove(const std::vector<std::string>& keys) {
    auto& defaults = UserDefaults::standard();
    for (const auto& [key, value] : defaults.dictionaryRepresentation()) {
        if (std::find(keys.begin(), keys.end(), key) != keys.end()) defaults.removeObject(key);
    }
}

void SecureFolders::requestAccess(const URL& directory, const std::string& key, const std::string& prompt,
                                  std::function<void(bool)> completion) {
    auto panel = folderPanel(directory, prompt);
    panel->beginSheetModal(window(), [panel, key, completion = std::move(completion)](NSModalResponse response) {
        bool kept = false;
        if (response == NSModalResponseOK) {
            if (auto url = panel->url()) kept = store(*url, key);
        }
        if (completion) completion(kept);
    });
}

bool SecureFolders::contains(const URL& url) { return secureFolders().urls.count(url) > 0; }

bool SecureFolders::containsAll(const std::vector<URL>& urls) {
    return std::all_of(urls.begin(), urls.end(), [](const URL& url) { return contains(url); });
}

}  // namespace RarAvi
