#include "Foundation/backends/DesktopKeyFile.hpp"

#include "Foundation/backends/RegularFile.hpp"

GLibPointers::KeyFile DesktopKeyFile::load(const std::filesystem::path& path, char listSeparator) {
    auto contents = RegularFile::contents(path, maximumSize);
    if (!contents) return nullptr;
    GLibPointers::KeyFile file(g_key_file_new());
    g_key_file_set_list_separator(file.get(), listSeparator);
    if (!g_key_file_load_from_data(file.get(), contents->data(), contents->size(), G_KEY_FILE_NONE, nullptr)) return nullptr;
    return file;
}
