// The database's service object.
#include "startup/DatabaseService.h"

#include "base/AppError.h"

QString DatabaseService::className() const {
    return QStringLiteral("DatabaseService");
}

Variant DatabaseService::invoke(const QString&, CallKind, VariantList&) {
    RaiseVbError(438, className());
}
