// GridLayout: a table's grid columns kept in the grid settings file (an INI file, one group per
// table): the sequence of the fields shown and the columns' widths in twips.
#pragma once

#include <QMap>
#include <QString>

#include <cstdint>
#include <memory>

namespace odb {

class GridLayout {
  public:
    // The layout of `table` read from the file at `path` (an empty layout when the file or its
    // group is missing).
    static std::shared_ptr<GridLayout> Load(const QString& path, const QString& table);

    const QString& TableName() const { return table_; }
    const QString& Path() const { return path_; }
    // The fields shown, in order, separated by commas; empty: the view's own columns.
    const QString& FieldSequence() const { return sequence_; }
    void SetFieldSequence(const QString& sequence) { sequence_ = sequence.trimmed(); }
    // A column's width in twips; -1 when none is kept for it.
    int32_t ColumnWidth(const QString& field) const;
    void SetColumnWidth(const QString& field, int32_t twips);
    // Forgets the sequence and the widths (the next Save removes the table's group).
    void ResetDefault();
    // Writes the table's group to the file.
    void Save() const;

  private:
    QString path_;
    QString table_;
    QString sequence_;
    QMap<QString, int32_t> widths_;  // by field name in lower case
    QMap<QString, QString> names_;   // the field names as given
};

}  // namespace odb
