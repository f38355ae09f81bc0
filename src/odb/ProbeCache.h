// ProbeCache: the statements of the existence probes (does a reference hold a row meeting these
// conditions?), each shape built once: its text and the values it always binds. The owner's binds
// change from probe to probe and are bound anew.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "odb/condition/ConditionSchema.h"

namespace odb {

class Table;
struct ReferenceDef;

struct ProbeShape {
    // What makes the shape: the rows' table and scope, the view's texts, the conditions asked
    // together and whether a row is left out.
    const Table* table = nullptr;
    int scopeKind = 0;
    const ReferenceDef* reference = nullptr;
    QString where, filter;
    QStringList conditions;
    bool except = false;
    // The statement: one part per condition (one without conditions), each binding the owner's
    // identity (and, for owned rows, `ownerLink`), then its `partValues`, then the row left out.
    QString sql;
    QString ownerLink;
    std::vector<std::vector<SqlValue>> partValues;
};

class ProbeCache {
  public:
    const ProbeShape* find(const Table* table, int scopeKind, const ReferenceDef* reference,
                           const QString& where, const QString& filter, const QStringList& conditions,
                           bool except) const;
    const ProbeShape& add(ProbeShape shape);
    void clear() { shapes_.clear(); }

  private:
    std::vector<std::unique_ptr<const ProbeShape>> shapes_;
};

}  // namespace odb
