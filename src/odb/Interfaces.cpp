// Default bodies of the row and field events: an event a table does not use returns at once.
#include "odb/Interfaces.h"

namespace odb {

void itfSetData::OnUpdatedTableStruct(DataSet&, double, double, bool) {}
void itfSetData::OnNewRow(DataSet&) {}
void itfSetData::OnUpdateRow(DataSet&) {}
void itfSetData::OnDeleteRow(DataSet&) {}
void itfSetData::OnUpdateField(DataSet&, const QString&) {}
void itfSetData::OnBeforeUpdateField(DataSet&, const QString&) {}
void itfSetData::OnUpdateReference(DataSet&, DataSet&, const QString&, bool, bool) {}
void itfSetData::OnBeforeUpdateReference(DataSet&, DataSet&, const QString&, bool, bool) {}
void itfSetData::OnSelectParent(DataSet&, DataSet&) {}
void itfSetData::OnSelect(DataSet&) {}
void itfSetData::OnSelectReference(DataSet&, DataSet&, const QString&) {}
void itfSetData::OnNewReference(DataSet&, DataSet&, const QString&) {}
void itfSetData::OnSetParent(DataSet&, const QString&) {}

}  // namespace odb
