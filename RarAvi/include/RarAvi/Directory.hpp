#pragma once
// Well-known folders of the user and of the system. The user's folders hang off the real home
// folder, which stays the user's own also when the process runs in an app sandbox (whose home is
// a container inside the user's library): the first two pieces of the home path, or
// "/Users/<login name>" when it has fewer.
#include <string>

#include "Foundation/URL.hpp"

namespace RarAvi {

enum class Directory {
    applications,
    user,
    library,
    preferences,
    caches,
    applicationSupport,
    containers,
    savedState,
    trash,
    appleMusicCache,
    safariCache,
    spotifyCache,
    mailAttachments,
    userLaunchAgents,
    userLaunchDaemons,
    xcode,
    volumes,
    documents,
    downloads,
};

/// The folder's file URL (a folder URL, with a trailing "/").
URL url(Directory directory);
/// The URL's path.
std::string path(Directory directory);
/// The URL's last path component.
std::string name(Directory directory);

}  // namespace RarAvi
