// Cabinet reading and unpacking through libgcab.
#include "platform/CabinetFile.h"

#include <libgcab.h>

#include <memory>

namespace {

template <class T>
struct GUnref {
    void operator()(T* p) const {
        if (p) g_object_unref(p);
    }
};
template <class T>
using GPtr = std::unique_ptr<T, GUnref<T>>;

struct ErrorFree {
    void operator()(GError* e) const {
        if (e) g_error_free(e);
    }
};

GPtr<GCabCabinet> Load(const std::string& path, std::string& error) {
    GPtr<GFile> file(g_file_new_for_path(path.c_str()));
    GError* raw = nullptr;
    GPtr<GFileInputStream> in(g_file_read(file.get(), nullptr, &raw));
    std::unique_ptr<GError, ErrorFree> failure(raw);
    if (!in) {
        error = "il file non può essere letto";
        return nullptr;
    }
    GPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    raw = nullptr;
    if (!gcab_cabinet_load(cabinet.get(), G_INPUT_STREAM(in.get()), nullptr, &raw)) {
        failure.reset(raw);
        error = "il file non è un cabinet valido oppure è incompleto";
        return nullptr;
    }
    return cabinet;
}

// The library's reason (in English) as the user reads it.
std::string ExtractionError(const GError* e) {
    if (e && e->domain == G_IO_ERROR) {
        switch (e->code) {
            case G_IO_ERROR_FILENAME_TOO_LONG:
                return "il cabinet contiene un nome di file troppo lungo";
            case G_IO_ERROR_NO_SPACE:
                return "spazio su disco esaurito";
            default:
                return "impossibile scrivere i file estratti";
        }
    }
    return "il cabinet è danneggiato o incompleto";
}

// Every file of every folder of a loaded cabinet.
template <class F>
void ForEachFile(GCabCabinet* cabinet, F&& f) {
    GPtrArray* folders = gcab_cabinet_get_folders(cabinet);
    for (guint i = 0; folders && i < folders->len; ++i) {
        auto* folder = static_cast<GCabFolder*>(g_ptr_array_index(folders, i));
        GSList* files = gcab_folder_get_files(folder);
        for (GSList* l = files; l; l = l->next)
            f(static_cast<GCabFile*>(l->data));
        g_slist_free(files);
    }
}

// Extraction asks for each file: its name as checked before, or skip it.
gboolean UseSafeName(GCabFile* file, gpointer) {
    const std::string safe = CabinetFile::SafeRelativePath(gcab_file_get_name(file));
    if (safe.empty()) return FALSE;
    gcab_file_set_extract_name(file, safe.c_str());
    return TRUE;
}

}  // namespace

std::string CabinetFile::SafeRelativePath(const std::string& storedName) {
    std::string name = storedName;
    for (char& c : name)
        if (c == '\\') c = '/';
    if (name.empty() || name.front() == '/') return {};
    if (name.size() >= 2 && name[1] == ':') return {};  // a drive letter
    std::string out;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string part = name.substr(start, end - start);
        if (part == "..") return {};
        if (!part.empty() && part != ".") {
            if (!out.empty()) out += '/';
            out += part;
        }
        start = end + 1;
    }
    return out;
}

bool CabinetFile::List(const std::string& path, std::vector<Entry>& entries, std::string& error) {
    entries.clear();
    GPtr<GCabCabinet> cabinet = Load(path, error);
    if (!cabinet) return false;
    ForEachFile(cabinet.get(), [&](GCabFile* f) {
        entries.push_back({gcab_file_get_name(f), gcab_file_get_size(f)});
    });
    return true;
}

bool CabinetFile::Extract(const std::string& path, const std::string& folder, std::string& badName,
                          std::string& error) {
    badName.clear();
    GPtr<GCabCabinet> cabinet = Load(path, error);
    if (!cabinet) return false;
    // The whole cabinet is checked first: a refused one writes nothing.
    ForEachFile(cabinet.get(), [&](GCabFile* f) {
        if (badName.empty() && SafeRelativePath(gcab_file_get_name(f)).empty())
            badName = gcab_file_get_name(f);
    });
    if (!badName.empty()) {
        error = "il cabinet contiene un percorso fuori dalla cartella di estrazione: " + badName;
        return false;
    }
    GPtr<GFile> target(g_file_new_for_path(folder.c_str()));
    GError* raw = nullptr;
    const bool ok =
        gcab_cabinet_extract_simple(cabinet.get(), target.get(), UseSafeName, nullptr, nullptr, &raw);
    std::unique_ptr<GError, ErrorFree> failure(raw);
    if (!ok) error = ExtractionError(failure.get());
    return ok;
}
