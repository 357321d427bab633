#pragma once
// Well-known folders of the user and of the system, where a Linux desktop keeps them: the home
// folder, the XDG base directories (application data and support in the data home, preferences
// in the configuration home, caches, saved state), the XDG user directories (documents,
// downloads), the freedesktop trash (its folder of trashed items), the applications' desktop
// entries, sandboxed applications' folders and the mount points of removable volumes.
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
