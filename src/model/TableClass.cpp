// The base of every table class.
#include "model/TableClass.h"

#include <utility>

TableClass::TableClass(QString name) : name_(std::move(name)) {}

QString TableClass::Name() const {
    return name_;
}

void TableClass::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
