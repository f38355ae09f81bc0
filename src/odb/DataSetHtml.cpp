// Data sets: the HTML export of the rows.
#include "odb/DataSetPrivate.h"

namespace odb {

void DataSet::ExportHtml(int32_t, const QString& file, itfProgress* progress, const QString& fields) {
    QStringList names;
    if (!fields.trimmed().isEmpty()) {
        for (const QString& f : fields.split(QLatin1Char(','), Qt::SkipEmptyParts))
            names << f.trimmed();
    } else {
        for (const FieldDef* f : d_->table_.Fields())
            if (f->shown) names << f->name;
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
    const int64_t keep = d_->pos_;
    try {
        int count = 0;
        for (size_t i = 0; i < d_->ids_.size(); ++i) {
            d_->pos_ = static_cast<int64_t>(i);
            s << "<tr>";
            for (const QString& n : names) {
                QString v;
                if (ColExists(n)) v = FormattedColValue(n);
                s << "<td>" << v.toHtmlEscaped() << "</td>";
            }
            s << "</tr>\n";
            ++count;
            if (progress && !progress->OnProgress(odbEvtExportHtml, total, count, this, nullptr)) break;
        }
    } catch (...) {
        d_->pos_ = keep;
        throw;
    }
    d_->pos_ = keep;
    s << "</table>\n</body></html>\n";
}

}  // namespace odb
