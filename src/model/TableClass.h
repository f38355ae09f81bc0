// The base of every table class: the table's name and the class itself as receiver of the table's
// row events.
#pragma once

#include <QString>

#include "odb/Interfaces.h"
#include "odb/Schema.h"

// A table class keeps only what is its own: identity, structure and the events it uses.
class TableClass : public odb::itfDefTable, public odb::itfSetData {
  public:
    QString Name() const final;
    void DefineDefaultData(odb::itfSetData*& setData) final;

  protected:
    // `name` is the table's name, which the class bears too.
    explicit TableClass(QString name);

  private:
    QString name_;
};
