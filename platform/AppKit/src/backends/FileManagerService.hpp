#pragma once
// The desktop's file manager, asked over the session bus (org.freedesktop.FileManager1) to show
// items selected in their folders, or folders themselves. Whether a file manager offers the service
// is the bus daemon's to say, which a daemon that hangs answers late: the caller never waits for it.
#include <functional>
#include <string>
#include <vector>

namespace FileManagerService {

/// Shows the items (system paths) selected in windows of their folders, asked without waiting;
/// `otherwise` runs on the main queue where no file manager takes the request (none offers the
/// service, or the one that does fails it).
void showItems(const std::vector<std::string>& paths, std::function<void()> otherwise);
/// Opens windows of the folders (system paths), as showItems does.
void showFolders(const std::vector<std::string>& paths, std::function<void()> otherwise);

}  // namespace FileManagerService
