#include "RarAvi/Directory.hpp"

#include "Foundation/PathUtilities.hpp"

namespace RarAvi {

namespace {
URL realHome() {
    std::vector<std::string> pieces;
    for (const auto& component : pathComponents(NSHomeDirectory())) {
        if (component != "/") pieces.push_back(component);
    }
    const std::string home = pieces.size() >= 2 ? "/" + pieces[0] + "/" + pieces[1] : "/Users/" + NSUserName();
    return URL::fileURLWithPath(home, true);
}

URL below(Directory base, std::initializer_list<const char*> components) {
    URL result = url(base);
    for (const char* component : components) result = result.appendingPathComponent(component, true);
    return result;
}
}  // namespace

URL url(Directory directory) {
    switch (directory) {
        case Directory::applications: return URL::fileURLWithPath("/Applications", true);
        case Directory::user: return realHome();
        case Directory::library: return below(Directory::user, {"Library"});
        case Directory::preferences: return below(Directory::library, {"Preferences"});
        case Directory::caches: return below(Directory::library, {"Caches"});
        case Directory::applicationSupport: return below(Directory::library, {"Application Support"});
        case Directory::containers: return below(Directory::library, {"Containers"});
        case Directory::savedState: return below(Directory::library, {"Saved Application State"});
        case Directory::trash: return below(Directory::library, {".Trash"});
        case Directory::appleMusicCache: return below(Directory::caches, {"com.apple.Music"});
        case Directory::safariCache: return below(Directory::caches, {"com.apple.safari"});
        case Directory::spotifyCache: return below(Directory::caches, {"com.spotify.client"});
        case Directory::mailAttachments:
            return below(Directory::library, {"Containers", "com.apple.mail", "Data", "Library", "Mail Downloads"});
        case Directory::userLaunchAgents: return below(Directory::library, {"LaunchAgents"});
        case Directory::userLaunchDaemons: return below(Directory::library, {"LaunchDaemons"});
        case Directory::xcode: return below(Directory::library, {"Developer", "Xcode"});
        case Directory::volumes: return URL::fileURLWithPath("/Volumes", true);
        case Directory::documents: return URL::fileURLWithPath("/Users/" + NSUserName() + "/Documents", true);
        case Directory::downloads: return URL::fileURLWithPath("/Users/" + NSUserName() + "/Downloads", true);
    }
    return URL::fileURLWithPath("/", true);
}

std::string path(Directory directory) { return url(directory).path(); }

std::string name(Directory directory) { return url(directory).lastPathComponent(); }

}  // namespace RarAvi
