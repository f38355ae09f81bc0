// DatabaseService: the program's service object handed to the open database.
#pragma once

#include "base/Object.h"

class DatabaseService : public Object {
  public:
    QString className() const override;
    // It offers no members yet: every call raises 438.
    Variant invoke(const QString& name, CallKind kind, VariantList& args) override;
};
