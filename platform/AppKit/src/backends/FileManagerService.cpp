#include "backends/FileManagerService.hpp"

#include "Foundation/FileManager.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/backends/DBusConnection.hpp"

namespace FileManagerService {

namespace {
constexpr const char* service = "org.freedesktop.FileManager1";

// The file manager's reply is not waited for: it may first have to start.
bool call(const char* method, const std::vector<std::string>& paths) {
    auto connection = DBusConnection::session();
    if (!connection || !DBusConnection::canReach(*connection, service)) return false;
    std::vector<std::string> uris;
    for (const auto& path : paths) uris.push_back(URL::fileURLWithPath(FileManager::hostPath(path)).absoluteString());
    try {
        auto proxy = sdbus::createProxy(*connection, service, "/org/freedesktop/FileManager1");
        proxy->callMethod(method).onInterface(service).withArguments(uris, std::string()).dontExpectReply();
        return true;
    } catch (const sdbus::Error&) {
        return false;
    }
}
}  // namespace

bool showItems(const std::vector<std::string>& paths) { return call("ShowItems", paths); }

bool showFolders(const std::vector<std::string>& paths) { return call("ShowFolders", paths); }

}  // namespace FileManagerService
