// The worker-card prefix, read before every card read.
#include "shopfloor/CardPrefix.h"

#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/Table.h"

QString WorkerCardPrefix() {
    const auto types =
        GetDBTable(Variant(QStringLiteral("TipiCommessa"))).OpenData(QStringLiteral("Tipologia=9"));
    return types->DataEmpty() ? QString() : types->ColText(QStringLiteral("PrefissoNumero"));
}
