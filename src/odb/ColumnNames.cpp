// A table's column positions by name: constant names by address, spellings by content.
#include "odb/ColumnNames.h"

#include <cstdint>
#include <cstring>

namespace odb {

namespace {
// Names made up at run time (a script building them) are not kept forever.
constexpr size_t kSpellings = 256;
constexpr size_t kConstants = 4096;

// strcmp for a few letters, without the call.
bool sameText(const char* a, const char* b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}
}  // namespace

void ColumnNames::reset(std::vector<QString> names) {
    defined_ = std::move(names);
    spellings_.clear();
    constants_.clear();
    recent_.fill({});
}

int ColumnNames::resolve(const QString& name) const {
    const QString n = name.normalized(QString::NormalizationForm_C);
    for (size_t i = 0; i < defined_.size(); ++i)
        if (defined_[i].compare(n, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

int ColumnNames::find(const QString& name) const {
    // Names mostly come spelt as defined.
    for (size_t i = 0; i < defined_.size(); ++i)
        if (defined_[i] == name) return static_cast<int>(i);
    for (const auto& [spelling, column] : spellings_)
        if (spelling == name) return column;
    if (spellings_.size() >= kSpellings) spellings_.clear();
    const int column = resolve(name);
    spellings_.emplace_back(name, column);
    return column;
}

const ColumnNames::Constant& ColumnNames::find(const char* name) const {
    Recent& recent = recent_[(reinterpret_cast<uintptr_t>(name) >> 3) % kRecent];
    // The same address with other content: a text that was not constant after all.
    if (recent.address == name && sameText(recent.constant->text.constData(), name)) return *recent.constant;
    auto it = constants_.find(name);
    if (it == constants_.end() || std::strcmp(it->second.text.constData(), name) != 0) {
        if (it == constants_.end() && constants_.size() >= kConstants) {
            constants_.clear();
            recent_.fill({});
        }
        Constant c;
        c.text = QByteArray(name);
        c.name = QString::fromUtf8(c.text);
        c.column = find(c.name);
        it = constants_.insert_or_assign(name, std::move(c)).first;
    }
    recent = {name, &it->second};
    return it->second;
}

}  // namespace odb
