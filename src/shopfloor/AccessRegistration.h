// AccessRegistration: one attendance registration of the command panel: the worker's row of the
// day gets the time of the press in the field that the kind and the half-day choose, under the
// sequence rules and the overtime cap.
#pragma once

#include <QString>

#include <cstdint>

struct ShopFloorContext;

namespace odb {
class DataSet;
}

class AccessRegistration {
  public:
    enum Kind : int32_t { Entry = 0, Exit = 1, ExtraEntry = 2, ExtraExit = 3 };
    enum class Outcome { Registered, NotStored, Refused };

    // Registers `kind` for the context's worker at the context's time, against its working hours;
    // what it says goes to the context's tell. Refused: the table rules refused the row, whose
    // text the library has shown. A kind out of range and the library's errors are raised, and
    // the row is not stored.
    static Outcome Register(const ShopFloorContext& context, int32_t kind);

    // The refusal text when `fieldName` of the day's row in `ds` may not be written now; "" when
    // it may.
    static QString CheckAccessSequence(int32_t kind, odb::DataSet& ds, const QString& fieldName,
                                       bool morning);
};
