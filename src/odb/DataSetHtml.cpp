// Data sets: the HTML export of the rows.
#include "odb/DataSetPrivate.h"
#include "odb/FieldValueText.h"
#include "odb/ViewColumns.h"

namespace odb {

namespace {
constexpr int kExportPageRows = 64;
}  // namespace

void DataSet::ExportHtml(int32_t, const QString& file, itfProgress* progress, const QString& fields) {
    // The columns and texts of a grid on the data set: no list means the view's own columns;
    // lookups show their target's display value, passwords never show.
    QStringList wanted;
    if (!fields.trimmed().isEmpty()) {
        for (const QString& f : fields.split(QLatin1Char(','), Qt::SkipEmptyParts))
            wanted << f.trimmed();
    } else {
        wanted = ColumnNames();
    }
    QStringList names;
    std::vector<std::shared_ptr<const FieldDef>> viewOnly;
    std::vector<const FieldDef*> defs;
    for (const QString& n : wanted) {
        const FieldDef* def = Field(n);
        if (!def) {
            auto made = ViewColumnDef(d_->table_, n);
            if (!made) continue;  // a column the table does not have
            def = made.get();
            viewOnly.push_back(std::move(made));
        }
        names << def->name;
        defs.push_back(def);
    }
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        LibraryError::Raise(odbErrCannotOpen, LibraryError::Text(odbErrCannotOpen) + QStringLiteral(" (") +
                                                  file + QLatin1Char(')'));
    QTextStream s(&out);
    s.setEncoding(QStringConverter::Utf8);
    s << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>"
      << d_->table_.Caption().toHtmlEscaped() << "</title></head>\n<body>\n<table border=\"1\">\n<tr>";
    for (const QString& n : names)
        s << "<th>" << n.toHtmlEscaped() << "</th>";
    s << "</tr>\n";
    const int total = RowCount();
    ProgressScope progressing(progress, odbEvtExportHtml, total);
    int count = 0;
    bool stopped = false;
    for (int first = 0; first < total && !stopped; first += kExportPageRows) {
        for (const VariantList& row : ReadRows(first, kExportPageRows, names)) {
            s << "<tr>";
            for (size_t c = 0; c < defs.size(); ++c) {
                const FieldDef& f = *defs[c];
                QString v;
                if (f.Secret())
                    v = row[c].toText().isEmpty() ? QString() : QStringLiteral("********");
                else
                    v = FieldValueText(f, row[c]);
                s << "<td>" << v.toHtmlEscaped() << "</td>";
            }
            s << "</tr>\n";
            ++count;
            if (progress && !progress->OnProgress(odbEvtExportHtml, total, count, this, nullptr)) {
                stopped = true;
                break;
            }
        }
    }
    s << "</table>\n</body></html>\n";
}

}  // namespace odb
