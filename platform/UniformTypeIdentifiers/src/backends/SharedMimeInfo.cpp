#include "UniformTypeIdentifiers/backends/SharedMimeInfo.hpp"

#include <gio/gio.h>

#include "Foundation/backends/GLibPointers.hpp"

namespace SharedMimeInfo {

namespace {
using GLibPointers::Text;

constexpr const char* unknown = "application/octet-stream";

std::string asMimeType(const char* contentType) {
    Text mime(g_content_type_get_mime_type(contentType));
    return mime ? mime.get() : unknown;
}
}  // namespace

std::optional<std::string> typeOfName(const std::string& fileName) {
    gboolean uncertain = FALSE;
    Text type(g_content_type_guess(fileName.c_str(), nullptr, 0, &uncertain));
    if (!type || uncertain || g_content_type_is_unknown(type.get())) return std::nullopt;
    return asMimeType(type.get());
}

std::string typeOfContents(const std::string& fileName, const std::string& firstBytes) {
    gboolean uncertain = FALSE;
    Text type(g_content_type_guess(fileName.c_str(), reinterpret_cast<const guchar*>(firstBytes.data()), firstBytes.size(), &uncertain));
    return type ? asMimeType(type.get()) : unknown;
}

bool isA(const std::string& type, const std::string& parent) {
    Text contentType(g_content_type_from_mime_type(type.c_str()));
    Text parentType(g_content_type_from_mime_type(parent.c_str()));
    return contentType && parentType && g_content_type_is_a(contentType.get(), parentType.get());
}

std::vector<std::string> iconNames(const std::string& type) {
    std::vector<std::string> names;
    Text contentType(g_content_type_from_mime_type(type.c_str()));
    if (!contentType) return names;
    GIcon* icon = g_content_type_get_icon(contentType.get());
    if (G_IS_THEMED_ICON(icon)) {
        for (const char* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon)); name && *name; ++name) {
            if (!g_str_has_suffix(*name, "-symbolic")) names.emplace_back(*name);
        }
    }
    g_object_unref(icon);
    return names;
}

}  // namespace SharedMimeInfo
