#include "UniformTypeIdentifiers/UTType.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <mutex>

#include "Foundation/backends/RegularFile.hpp"
#include "UniformTypeIdentifiers/backends/SharedMimeInfo.hpp"

namespace {
struct TypeEntry {
    const char* identifier;
    std::vector<const char*> extensions;
    std::vector<const char*> parents;
    /// MIME types, the preferred one first.
    std::vector<const char*> mimeTypes;
};

const std::vector<TypeEntry>& table() {
    static const std::vector<TypeEntry> entries = {
        {"public.item", {}, {}, {}},
        {"public.content", {}, {}, {}},
        {"public.data", {}, {"public.item"}, {"application/octet-stream"}},
        {"public.directory", {}, {"public.item"}, {}},
        {"public.folder", {}, {"public.directory"}, {"inode/directory"}},
        {"com.apple.package", {}, {"public.directory"}, {}},
        {"com.apple.bundle", {}, {"public.directory"}, {}},
        {"com.apple.application", {}, {"public.data"}, {}},
        {"com.apple.application-bundle", {"app"}, {"com.apple.application", "com.apple.bundle", "com.apple.package"}, {}},
        {"public.image", {}, {"public.data", "public.content"}, {}},
        {"public.png", {"png"}, {"public.image"}, {"image/png"}},
        {"public.jpeg", {"jpg", "jpeg", "jpe"}, {"public.image"}, {"image/jpeg"}},
        {"com.compuserve.gif", {"gif"}, {"public.image"}, {"image/gif"}},
        {"public.tiff", {"tif", "tiff"}, {"public.image"}, {"image/tiff"}},
        {"public.heic", {"heic"}, {"public.image"}, {"image/heic", "image/heif"}},
        {"com.microsoft.bmp", {"bmp"}, {"public.image"}, {"image/bmp"}},
        {"public.svg-image", {"svg"}, {"public.image"}, {"image/svg+xml"}},
        {"com.apple.icns", {"icns"}, {"public.image"}, {"image/x-icns"}},
        {"org.webmproject.webp", {"webp"}, {"public.image"}, {"image/webp"}},
        {"public.audiovisual-content", {}, {"public.data", "public.content"}, {}},
        {"public.movie", {}, {"public.audiovisual-content"}, {}},
        {"public.video", {}, {"public.movie"}, {}},
        {"com.apple.quicktime-movie", {"mov", "qt"}, {"public.movie"}, {"video/quicktime"}},
        {"public.mpeg-4", {"mp4", "m4v"}, {"public.movie"}, {"video/mp4"}},
        {"public.avi", {"avi"}, {"public.movie"}, {"video/x-msvideo"}},
        {"org.matroska.mkv", {"mkv"}, {"public.movie"}, {"video/x-matroska"}},
        {"public.audio", {}, {"public.audiovisual-content"}, {}},
        {"public.mp3", {"mp3"}, {"public.audio"}, {"audio/mpeg"}},
        {"com.apple.m4a-audio", {"m4a"}, {"public.audio"}, {"audio/mp4"}},
        {"com.microsoft.waveform-audio", {"wav"}, {"public.audio"}, {"audio/x-wav", "audio/vnd.wave"}},
        {"public.aiff-audio", {"aif", "aiff"}, {"public.audio"}, {"audio/x-aiff"}},
        {"org.xiph.flac", {"flac"}, {"public.audio"}, {"audio/flac"}},
        {"public.archive", {}, {"public.data"}, {}},
        {"public.zip-archive", {"zip"}, {"public.archive"}, {"application/zip"}},
        {"org.gnu.gnu-zip-archive", {"gz", "gzip"}, {"public.archive"}, {"application/gzip"}},
        {"public.tar-archive", {"tar"}, {"public.archive"}, {"application/x-tar"}},
        {"org.7-zip.7-zip-archive", {"7z"}, {"public.archive"}, {"application/x-7z-compressed"}},
        {"com.apple.disk-image-udif", {"dmg"}, {"public.archive"}, {"application/x-apple-diskimage"}},
        {"com.adobe.pdf", {"pdf"}, {"public.data", "public.content"}, {"application/pdf"}},
        {"public.text", {}, {"public.data", "public.content"}, {}},
        {"public.plain-text", {"txt", "text"}, {"public.text"}, {"text/plain"}},
        {"public.json", {"json"}, {"public.text"}, {"application/json"}},
        {"public.xml", {"xml"}, {"public.text"}, {"application/xml", "text/xml"}},
        {"com.apple.property-list", {"plist"}, {"public.data"}, {}},
        {"public.html", {"html", "htm"}, {"public.text"}, {"text/html"}},
        {"public.source-code", {}, {"public.plain-text"}, {}},
        {"public.c-source", {"c"}, {"public.source-code"}, {"text/x-csrc"}},
        {"public.c-plus-plus-source", {"cpp", "cc", "cxx"}, {"public.source-code"}, {"text/x-c++src"}},
    };
    return entries;
}

// Types the table does not know carry their MIME type in their identifier.
constexpr std::string_view dynamicPrefix = "dyn.";

const TypeEntry* entry(const std::string& identifier) {
    for (const auto& e : table()) {
        if (identifier == e.identifier) return &e;
    }
    return nullptr;
}

const TypeEntry* entryOfMimeType(const std::string& mimeType) {
    for (const auto& e : table()) {
        for (const char* mime : e.mimeTypes) {
            if (mimeType == mime) return &e;
        }
    }
    return nullptr;
}

// The kinds a MIME type the table does not know belongs to: the table's types whose MIME type
// it is a kind of, and the kind its media type names.
std::vector<std::string> parentsOfMimeType(const std::string& mimeType) {
    // The database's answers do not change while the process runs: each type is asked once.
    static std::mutex mutex;
    static std::map<std::string, std::vector<std::string>> known;
    std::lock_guard lock(mutex);
    if (auto found = known.find(mimeType); found != known.end()) return found->second;
    auto& parents = known[mimeType];
    for (const auto& e : table()) {
        if (!e.mimeTypes.empty() && SharedMimeInfo::isA(mimeType, e.mimeTypes.front())) parents.emplace_back(e.identifier);
    }
    const std::string media = mimeType.substr(0, mimeType.find('/'));
    if (media == "image") parents.emplace_back("public.image");
    if (media == "audio") parents.emplace_back("public.audio");
    if (media == "video") parents.emplace_back("public.movie");
    if (media == "text") parents.emplace_back("public.text");
    if (media != "inode") parents.emplace_back("public.data");
    return parents;
}

// Enough of a file for the MIME database's magic; nothing of what is no regular file (a FIFO would
// hold the read until some writer came).
std::string firstBytes(const std::filesystem::path& path) { return RegularFile::firstBytes(path, 4096).value_or(""); }
}  // namespace

UTType::UTType(std::string identifier) : identifier_(std::move(identifier)) {}

std::optional<UTType> UTType::fromFilenameExtension(const std::string& extension) {
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.empty()) return std::nullopt;
    for (const auto& e : table()) {
        for (const char* ext : e.extensions) {
            if (lower == ext) return UTType(e.identifier);
        }
    }
    if (auto mimeType = SharedMimeInfo::typeOfName("file." + extension)) return fromMIMEType(*mimeType);
    return std::nullopt;
}

std::optional<UTType> UTType::fromMIMEType(const std::string& mimeType) {
    if (mimeType.find('/') == std::string::npos) return std::nullopt;
    if (auto* e = entryOfMimeType(mimeType)) return UTType(e->identifier);
    return UTType(std::string(dynamicPrefix) + mimeType);
}

std::optional<UTType> UTType::ofFile(const URL& url) {
    if (!url.isFileURL()) return std::nullopt;
    std::error_code error;
    const std::filesystem::path path = url.path();
    auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) return std::nullopt;
    if (std::filesystem::is_directory(status)) {
        if (url.pathExtension() == "app") return applicationBundle();
        return folder();
    }
    const std::string mimeType = SharedMimeInfo::typeOfContents(path.filename().string(), firstBytes(path));
    if (mimeType == "application/octet-stream") {
        if (auto type = fromFilenameExtension(url.pathExtension())) return type;
        return data();
    }
    return fromMIMEType(mimeType);
}

std::optional<std::string> UTType::preferredFilenameExtension() const {
    if (auto* e = entry(identifier_); e && !e->extensions.empty()) return std::string(e->extensions.front());
    return std::nullopt;
}

std::optional<std::string> UTType::preferredMIMEType() const {
    if (identifier_.rfind(dynamicPrefix, 0) == 0) return identifier_.substr(dynamicPrefix.size());
    if (auto* e = entry(identifier_); e && !e->mimeTypes.empty()) return std::string(e->mimeTypes.front());
    return std::nullopt;
}

std::vector<UTType> UTType::supertypes() const {
    std::vector<UTType> out;
    std::vector<std::string> pending;
    if (identifier_.rfind(dynamicPrefix, 0) == 0) {
        pending = parentsOfMimeType(identifier_.substr(dynamicPrefix.size()));
        for (const auto& parent : pending) {
            if (std::find(out.begin(), out.end(), UTType(parent)) == out.end()) out.emplace_back(parent);
        }
    } else {
        pending.push_back(identifier_);
    }
    while (!pending.empty()) {
        auto current = pending.back();
        pending.pop_back();
        if (auto* e = entry(current)) {
            for (const char* parent : e->parents) {
                if (std::none_of(out.begin(), out.end(), [&](const UTType& t) { return t.identifier_ == parent; })) {
                    out.emplace_back(parent);
                    pending.emplace_back(parent);
                }
            }
        }
    }
    return out;
}

bool UTType::conforms(const UTType& other) const {
    if (*this == other) return true;
    auto parents = supertypes();
    return std::find(parents.begin(), parents.end(), other) != parents.end();
}

bool UTTypeConformsTo(const std::string& identifier, const std::string& conformsTo) {
    return UTType(identifier).conforms(UTType(conformsTo));
}
