#pragma once
// The desktop's content types: the shared-mime-info database through GLib's content types (GIO).
// A content type here is a MIME type ("image/png"); files are told by their name and, where the
// name does not settle it, by their first bytes.
#include <optional>
#include <string>
#include <vector>

namespace SharedMimeInfo {

/// The type a file name stands for; absent when the name does not tell.
std::optional<std::string> typeOfName(const std::string& fileName);
/// The type of a file from its name and its first bytes ("application/octet-stream" when
/// nothing tells).
std::string typeOfContents(const std::string& fileName, const std::string& firstBytes);
/// Whether `type` is `parent` or a kind of it ("text/x-csrc" is a kind of "text/plain").
bool isA(const std::string& type, const std::string& parent);
/// The names of the type's icons in an icon theme, the most specific first ("image-png",
/// "image-x-generic"), without the symbolic ones.
std::vector<std::string> iconNames(const std::string& type);

}  // namespace SharedMimeInfo
