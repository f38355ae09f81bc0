// What the windows read of the schema objects: captions, whether a column can be searched or
// sorted, the relations' texts and the where-text of an owned collection's rows.
#include "odb/Database.h"
#include "odb/LibraryError.h"
#include "odb/Schema.h"
#include "odb/Table.h"

namespace odb {

QString NameWords(const QString& name) {
    QString out;
    out.reserve(name.size() + 4);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == QLatin1Char('_')) {
            if (!out.isEmpty() && !out.endsWith(QLatin1Char(' '))) out += QLatin1Char(' ');
            continue;
        }
        if (i > 0 && c.isUpper()) {
            const QChar prev = name[i - 1];
            const bool nextLower = i + 1 < name.size() && name[i + 1].isLower();
            // A new word after a small letter or a digit, or where a run of capitals ends ("IDElemento").
            if ((prev.isLower() || prev.isDigit() || (prev.isUpper() && nextLower)) &&
                !out.endsWith(QLatin1Char(' ')))
                out += QLatin1Char(' ');
        }
        out += c;
    }
    return out.trimmed();
}

QString FieldDef::Caption() const {
    return NameWords(name);
}

QStringList FieldDef::GetTexts(int32_t) const {
    return {name, description, Caption()};
}

bool FieldDef::Searchable() const {
    if (asName) return false;
    switch (type) {
        case ftBoolean:
        case ftFileLink:
        case ftPictureFile:
        case ftImageFile:
            return false;
        default:
            return true;
    }
}

bool FieldDef::Unsortable() const {
    switch (type) {
        case ftMemo:
        case ftFileLink:
        case ftPictureFile:
        case ftImageFile:
            return true;
        default:
            return false;
    }
}

QStringList ReferenceDef::GetTexts(int32_t) const {
    return {name, description, description.isEmpty() ? NameWords(name) : description};
}

bool ReferenceDef::OpenAllowed() const {
    return !refTable_ || refTable_->OpenAllowed();
}

QString ReferenceDef::ChildWhere(const QString& ownerSelect) const {
    if (!collection || !owned || !ownerTable_)
        LibraryError::Raise(odbErrBadCondition, LibraryError::Text(odbErrBadCondition) +
                                                    QStringLiteral(": ") + table + QLatin1Char('.') + name);
    // The owner of a row is reached by the owning table's name; its key is "OID".
    return ownerTable_->Name() + QLatin1Char('.') + ownerTable_->KeyColumn() + QStringLiteral(" IN (") +
           ownerSelect + QLatin1Char(')');
}

const ReferenceDef& ReferenceDefs::Item(int32_t position) const {
    if (position < 1 || position > Count())
        LibraryError::Raise(odbErrUnknownReference, LibraryError::Text(odbErrUnknownReference) +
                                                        QStringLiteral(": %1").arg(position));
    return *items_[static_cast<size_t>(position - 1)];
}

const ReferenceDef& ReferenceDefs::Item(const QString& name) const {
    const QString n = name.normalized(QString::NormalizationForm_C);
    for (const auto& r : items_)
        if (r->name.compare(n, Qt::CaseInsensitive) == 0) return *r;
    LibraryError::Raise(odbErrUnknownReference,
                        LibraryError::Text(odbErrUnknownReference) + QStringLiteral(": ") + name);
}

}  // namespace odb
