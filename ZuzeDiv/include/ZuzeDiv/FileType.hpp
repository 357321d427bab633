#pragma once
// Kinds of files, named in the user's language.
#include <optional>
#include <string>

namespace ZuzeDiv {

enum class FileType { other, video, photo, archive, audio, document };

/// The localisation key of the kind ("PHOTO").
std::string localizationKey(FileType type);
/// The kind's name from the module's strings; the key itself when there is none.
std::string localizedName(FileType type);

}  // namespace ZuzeDiv
