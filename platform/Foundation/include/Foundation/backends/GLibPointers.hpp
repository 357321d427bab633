#pragma once
// Owners of what GLib hands out, released as GLib says.
#include <memory>

#include <glib.h>

namespace GLibPointers {

struct FreeText {
    void operator()(void* pointer) const { g_free(pointer); }
};
struct FreeTextList {
    void operator()(char** list) const { g_strfreev(list); }
};
struct FreeKeyFile {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
struct FreeBookmarkFile {
    void operator()(GBookmarkFile* file) const { g_bookmark_file_free(file); }
};

using Text = std::unique_ptr<char, FreeText>;
using TextList = std::unique_ptr<char*, FreeTextList>;
using KeyFile = std::unique_ptr<GKeyFile, FreeKeyFile>;
using BookmarkFile = std::unique_ptr<GBookmarkFile, FreeBookmarkFile>;

}  // namespace GLibPointers
