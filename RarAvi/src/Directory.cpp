#include "RarAvi/Directory.hpp"

#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"

namespace RarAvi {

namespace {
URL folder(const std::string& path) { return URL::fileURLWithPath(path, true); }

URL below(Directory base, std::initializer_list<const char*> components) {
    URL result = url(base);
    for (const char* component : components) result = result.appendingPathComponent(component, true);
    return result;
}

// Where removable volumes are mounted: the user's folder of /run/media (udisks on most
// distributions) or of /media (Debian and Ubuntu), else /media itself.
URL volumes() {
    auto& files = FileManager::defaultManager();
    for (const std::string base : {"/run/media/", "/media/"}) {
        bool isFolder = false;
        if (files.fileExists(base + NSUserName(), &isFolder) && isFolder) return folder(base + NSUserName());
    }
    return folder("/media");
}
}  // namespace

URL url(Directory directory) {
    using Folder = FileManager::SearchPathDirectory;
    auto& files = FileManager::defaultManager();
    switch (directory) {
        case Directory::applications: return folder("/usr/share/applications");
        case Directory::user: return folder(NSHomeDirectory());
        case Directory::library: return files.url(Folder::library);
        case Directory::preferences: return files.url(Folder::preferences);
        case Directory::caches: return files.url(Folder::caches);
        case Directory::applicationSupport: return files.url(Folder::applicationSupport);
        case Directory::containers: return below(Directory::user, {".var", "app"});
        case Directory::savedState: return files.url(Folder::savedState);
        // The trashed items themselves; beside them, Trash/info says where each came from.
        case Directory::trash: return below(Directory::library, {"Trash", "files"});
        case Directory::appleMusicCache: return below(Directory::caches, {"com.apple.Music"});
        case Directory::safariCache: return below(Directory::caches, {"com.apple.safari"});
        case Directory::spotifyCache: return below(Directory::caches, {"spotify"});
        case Directory::mailAttachments: return below(Directory::containers, {"com.apple.mail", "Data", "Library", "Mail Downloads"});
        case Directory::userLaunchAgents: return below(Directory::preferences, {"autostart"});
        case Directory::userLaunchDaemons: return below(Directory::preferences, {"systemd", "user"});
        case Directory::xcode: return below(Directory::library, {"Developer", "Xcode"});
        case Directory::volumes: return volumes();
        case Directory::documents: return files.url(Folder::documents);
        case Directory::downloads: return files.url(Folder::downloads);
    }
    return folder("/");
}

std::string path(Directory directory) { return url(directory).path(); }

std::string name(Directory directory) { return url(directory).lastPathComponent(); }

}  // namespace RarAvi
