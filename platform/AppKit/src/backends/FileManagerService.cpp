#include "backends/FileManagerService.hpp"

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/backends/DBusConnection.hpp"

namespace FileManagerService {

namespace {
constexpr const char* service = "org.freedesktop.FileManager1";

// Waits for the bus daemon, not for the file manager, which may first have to start.
bool ask(const char* method, const std::vector<std::string>& uris) {
    auto connection = DBusConnection::session();
    if (!connection || !DBusConnection::canReach(*connection, service)) return false;
    try {
        auto proxy = sdbus::createProxy(*connection, service, "/org/freedesktop/FileManager1");
        proxy->callMethod(method).onInterface(service).withArguments(uris, std::string()).dontExpectReply();
    } catch (const sdbus::Error&) {
        return false;
    }
    DBusConnection::wake(*connection);
    return true;
}

void call(const char* method, const std::vector<std::string>& paths, std::function<void()> otherwise) {
    std::vector<std::string> uris;
    for (const auto& path : paths) uris.push_back(URL::fileURLWithPath(FileManager::hostPath(path)).absoluteString());
    DispatchQueue::global().async([method, uris = std::move(uris), otherwise = std::move(otherwise)] {
        if (!ask(method, uris) && otherwise) DispatchQueue::main().async(otherwise);
    });
}
}  // namespace

void showItems(const std::vector<std::string>& paths, std::function<void()> otherwise) {
    call("ShowItems", paths, std::move(otherwise));
}

void showFolders(const std::vector<std::string>& paths, std::function<void()> otherwise) {
    call("ShowFolders", paths, std::move(otherwise));
}

}  // namespace FileManagerService
