// Writes cabinet files for tests: stored names as given (also absolute or with ".."), no
// compression. No Qt here (the cabinet library's GLib headers do not compile after Qt's).
#pragma once

#include <string>
#include <utility>
#include <vector>

// Writes a cabinet at `path` holding each (stored name, content); false when it cannot be written.
bool WriteCabinet(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files);
