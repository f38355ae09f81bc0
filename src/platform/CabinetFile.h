// CabinetFile: the files stored in a cabinet and their unpacking into a folder. No Qt here: the
// cabinet library's GLib headers do not compile after Qt's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CabinetFile {
  public:
    struct Entry {
        std::string name;  // the stored name, "\" or "/" between folders
        uint32_t size = 0;
    };

    // The files stored in the cabinet at `path` (UTF-8), in their order; false, with the reason in
    // `error` (in Italian, UTF-8), when it cannot be read as a cabinet.
    static bool List(const std::string& path, std::vector<Entry>& entries, std::string& error);

    // Unpacks every file of the cabinet into `folder`, keeping the stored folders. A cabinet that
    // holds an absolute stored path or one that climbs out of the folder with ".." is refused as a
    // whole before anything is written: false, `badName` set to the stored name.
    static bool Extract(const std::string& path, const std::string& folder, std::string& badName,
                        std::string& error);

    // The stored name as a path below the unpack folder ("\" read as "/"), or empty when it is
    // absolute, names a drive or climbs out with "..".
    static std::string SafeRelativePath(const std::string& storedName);
};
