// Cabinet writing through libgcab.
#include "support/CabinetWriter.h"

#include <libgcab.h>

bool WriteCabinet(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files) {
    GCabCabinet* cabinet = gcab_cabinet_new();
    GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_NONE);
    bool ok = true;
    for (const auto& [name, content] : files) {
        GBytes* bytes = g_bytes_new(content.data(), content.size());
        GCabFile* file = gcab_file_new_with_bytes(name.c_str(), bytes);
        ok = ok && gcab_folder_add_file(folder, file, FALSE, nullptr, nullptr);
        g_object_unref(file);
        g_bytes_unref(bytes);
    }
    ok = ok && gcab_cabinet_add_folder(cabinet, folder, nullptr);
    GFile* target = g_file_new_for_path(path.c_str());
    GFileOutputStream* out = g_file_replace(target, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, nullptr);
    ok = ok && out &&
         gcab_cabinet_write_simple(cabinet, G_OUTPUT_STREAM(out), nullptr, nullptr, nullptr, nullptr);
    if (out) {
        g_output_stream_close(G_OUTPUT_STREAM(out), nullptr, nullptr);
        g_object_unref(out);
    }
    g_object_unref(target);
    g_object_unref(folder);
    g_object_unref(cabinet);
    return ok;
}
