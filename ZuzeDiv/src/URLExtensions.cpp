#include "ZuzeDiv/URLExtensions.hpp"

#include <filesystem>

namespace ZuzeDiv {

std::optional<UTType> contentType(const URL& url) { return UTType::ofFile(url); }

bool isSuccess(const std::shared_ptr<URLResponse>& response) {
    auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response);
    return http && http->statusCode() >= 200 && http->statusCode() <= 299;
}

bool isDirectory(const URL& url) {
    if (!url.isFileURL()) return false;
    std::error_code error;
    return std::filesystem::is_directory(url.path(), error);
}

std::optional<std::string> typeIdentifier(const URL& url) {
    auto type = UTType::ofFile(url);
    if (!type) return std::nullopt;
    return type->identifier();
}

std::string fileName(const URL& url) { return url.lastPathComponent(); }

namespace {
// A file is of a kind when its type identifier conforms to the kind's type. A file without a
// type identifier is of no kind.
bool isKind(const URL& url, const UTType& kind) {
    auto identifier = typeIdentifier(url);
    return identifier && UTTypeConformsTo(*identifier, kind.identifier());
}
}  // namespace

bool isImage(const URL& url) { return isKind(url, UTType::image()); }
bool isMovie(const URL& url) { return isKind(url, UTType::movie()); }
bool isAudio(const URL& url) { return isKind(url, UTType::audio()); }
bool isArchive(const URL& url) { return isKind(url, UTType::archive()); }
bool isPDF(const URL& url) { return isKind(url, UTType::pdf()); }

FileType fileType(const URL& url) {
    if (isImage(url)) return FileType::photo;
    if (isMovie(url)) return FileType::video;
    if (isAudio(url)) return FileType::audio;
    if (isArchive(url)) return FileType::archive;
    if (isPDF(url)) return FileType::document;
    return FileType::other;
}

}  // namespace ZuzeDiv
