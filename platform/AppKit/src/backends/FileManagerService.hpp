#pragma once
// The desktop's file manager, asked over the session bus (org.freedesktop.FileManager1) to show
// items selected in their folders, or folders themselves.
#include <string>
#include <vector>

namespace FileManagerService {

/// Shows the items (system paths) selected in windows of their folders; false when no file
/// manager offers the service.
bool showItems(const std::vector<std::string>& paths);
/// Opens windows of the folders (system paths); false when no file manager offers the service.
bool showFolders(const std::vector<std::string>& paths);

}  // namespace FileManagerService
