// HeldGuards: the named guards a table rule took on one row, freed when the rule ends, also when a
// refusal or an error leaves it, so that the library receives the error with the guards free.
#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>

#include "odb/DataSet.h"

class HeldGuards {
  public:
    explicit HeldGuards(odb::DataSet& ds) : ds_(ds) {}
    ~HeldGuards() { Release(ds_, held_); }
    HeldGuards(const HeldGuards&) = delete;
    HeldGuards& operator=(const HeldGuards&) = delete;

    // True when the guard was free and is now held by this rule.
    bool lock(const QString& name) {
        if (!ds_.LockGuard(name)) return false;
        held_ << name;
        return true;
    }

    // Frees those of `names` that the row holds; never throws, as it runs while an error unwinds.
    static void Release(odb::DataSet& ds, const QStringList& names) noexcept {
        for (const QString& name : names) {
            try {
                if (ds.IsGuardLocked(name)) ds.UnlockGuard(name);
            } catch (...) {
            }
        }
    }

  private:
    odb::DataSet& ds_;
    QStringList held_;
};
