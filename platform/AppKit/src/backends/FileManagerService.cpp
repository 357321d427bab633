#include "backends/FileManagerService.hpp"

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/backends/BusService.hpp"

namespace FileManagerService {

namespace {
constexpr const char* service = "org.freedesktop.FileManager1";

// The file manager as every request reaches it; lives as long as the process. The bus starts one
// that is not running.
BusService& fileManager() {
    static auto* manager = new std::shared_ptr<BusService>(
        BusService::make(BusService::Bus::session, service, DispatchQueue::main(), {}));
    return **manager;
}

void call(const char* method, const std::vector<std::string>& paths, std::function<void()> otherwise) {
    std::vector<std::string> uris;
    for (const auto& path : paths) uris.push_back(URL::fileURLWithPath(FileManager::hostPath(path)).absoluteString());
    fileManager().call({"/org/freedesktop/FileManager1", service, method,
                        [uris = std::move(uris)](sdbus::MethodCall& call) { call << uris << std::string(); }},
                       [otherwise = std::move(otherwise)](sdbus::MethodReply*, const sdbus::Error* error) {
                           return error ? otherwise : std::function<void()>();
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
