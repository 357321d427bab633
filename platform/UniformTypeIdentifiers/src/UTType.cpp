#include "UniformTypeIdentifiers/UTType.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {
struct TypeEntry {
    const char* identifier;
    std::vector<const char*> extensions;
    std::vector<const char*> parents;
};

const std::vector<TypeEntry>& table() {
    static const std::vector<TypeEntry> entries = {
        {"public.item", {}, {}},
        {"public.content", {}, {}},
        {"public.data", {}, {"public.item"}},
        {"public.directory", {}, {"public.item"}},
        {"public.folder", {}, {"public.directory"}},
        {"com.apple.package", {}, {"public.directory"}},
        {"com.apple.bundle", {}, {"public.directory"}},
        {"com.apple.application", {}, {"public.data"}},
        {"com.apple.application-bundle", {"app"}, {"com.apple.application", "com.apple.bundle", "com.apple.package"}},
        {"public.image", {}, {"public.data", "public.content"}},
        {"public.png", {"png"}, {"public.image"}},
        {"public.jpeg", {"jpg", "jpeg", "jpe"}, {"public.image"}},
        {"com.compuserve.gif", {"gif"}, {"public.image"}},
        {"public.tiff", {"tif", "tiff"}, {"public.image"}},
        {"public.heic", {"heic"}, {"public.image"}},
        {"com.microsoft.bmp", {"bmp"}, {"public.image"}},
        {"public.svg-image", {"svg"}, {"public.image"}},
        {"com.apple.icns", {"icns"}, {"public.image"}},
        {"org.webmproject.webp", {"webp"}, {"public.image"}},
        {"public.audiovisual-content", {}, {"public.data", "public.content"}},
        {"public.movie", {}, {"public.audiovisual-content"}},
        {"public.video", {}, {"public.movie"}},
        {"com.apple.quicktime-movie", {"mov", "qt"}, {"public.movie"}},
        {"public.mpeg-4", {"mp4", "m4v"}, {"public.movie"}},
        {"public.avi", {"avi"}, {"public.movie"}},
        {"org.matroska.mkv", {"mkv"}, {"public.movie"}},
        {"public.audio", {}, {"public.audiovisual-content"}},
        {"public.mp3", {"mp3"}, {"public.audio"}},
        {"com.apple.m4a-audio", {"m4a"}, {"public.audio"}},
        {"com.microsoft.waveform-audio", {"wav"}, {"public.audio"}},
        {"public.aiff-audio", {"aif", "aiff"}, {"public.audio"}},
        {"org.xiph.flac", {"flac"}, {"public.audio"}},
        {"public.archive", {}, {"public.data"}},
        {"public.zip-archive", {"zip"}, {"public.archive"}},
        {"org.gnu.gnu-zip-archive", {"gz", "gzip"}, {"public.archive"}},
        {"public.tar-archive", {"tar"}, {"public.archive"}},
        {"org.7-zip.7-zip-archive", {"7z"}, {"public.archive"}},
        {"com.apple.disk-image-udif", {"dmg"}, {"public.archive"}},
        {"com.adobe.pdf", {"pdf"}, {"public.data", "public.content"}},
        {"public.text", {}, {"public.data", "public.content"}},
        {"public.plain-text", {"txt", "text"}, {"public.text"}},
        {"public.json", {"json"}, {"public.text"}},
        {"public.xml", {"xml"}, {"public.text"}},
        {"com.apple.property-list", {"plist"}, {"public.data"}},
        {"public.html", {"html", "htm"}, {"public.text"}},
        {"public.source-code", {}, {"public.plain-text"}},
        {"public.c-source", {"c"}, {"public.source-code"}},
        {"public.c-plus-plus-source", {"cpp", "cc", "cxx"}, {"public.source-code"}},
    };
    return entries;
}

const TypeEntry* entry(const std::string& identifier) {
    for (const auto& e : table()) {
        if (identifier == e.identifier) return &e;
    }
    return nullptr;
}
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
    return std::nullopt;
}

std::optional<UTType> UTType::ofFile(const URL& url) {
    if (!url.isFileURL()) return std::nullopt;
    std::error_code error;
    auto status = std::filesystem::status(url.path(), error);
    if (error || !std::filesystem::exists(status)) return std::nullopt;
    if (std::filesystem::is_directory(status)) {
        if (url.pathExtension() == "app") return applicationBundle();
        return folder();
    }
    if (auto type = fromFilenameExtension(url.pathExtension())) return type;
    return data();
}

std::optional<std::string> UTType::preferredFilenameExtension() const {
    if (auto* e = entry(identifier_); e && !e->extensions.empty()) return std::string(e->extensions.front());
    return std::nullopt;
}

std::vector<UTType> UTType::supertypes() const {
    std::vector<UTType> out;
    std::vector<std::string> pending{identifier_};
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
