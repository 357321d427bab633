#pragma once
// File address helpers: content types, kinds of files, and whether an answer succeeded.
#include <memory>
#include <optional>
#include <string>

#include "Foundation/URL.hpp"
#include "Foundation/URLSession.hpp"
#include "UniformTypeIdentifiers/UTType.hpp"
#include "ZuzeDiv/FileType.hpp"

namespace ZuzeDiv {

/// The content type of the file at the address; absent when the file cannot be read.
std::optional<UTType> contentType(const URL& url);

/// True for an HTTP answer whose status lies in 200...299; false otherwise (no answer, or one
/// that is not HTTP).
bool isSuccess(const std::shared_ptr<URLResponse>& response);

/// Whether the address names a folder; false when it cannot be read.
bool isDirectory(const URL& url);
/// The file's type identifier ("public.png"); absent when the file cannot be read.
std::optional<std::string> typeIdentifier(const URL& url);
/// The last path component.
std::string fileName(const URL& url);
/// Whether the file's type is (or belongs to) that kind.
bool isImage(const URL& url);
bool isMovie(const URL& url);
bool isAudio(const URL& url);
bool isArchive(const URL& url);
bool isPDF(const URL& url);
/// The kinds tested in order: image photo, movie video, audio, archive, PDF document, else other.
FileType fileType(const URL& url);

}  // namespace ZuzeDiv
