// AccessRegistration: one attendance registration of the command panel: the worker's row of the
// day gets the time of the press in the field that the kind and the half-day choose, under the
// sequence rules and the overtime cap.
#pragma once

#include <QString>

#include <cstdint>

class QWidget;

namespace odb {
class DataSet;
}

class AccessRegistration {
  public:
    enum Kind : int32_t { Entry = 0, Exit = 1, ExtraEntry = 2, ExtraExit = 3 };
    enum class Outcome { Registered, NotStored, Refused };

    // Registers `kind` for the worker of card code `code` at the clock's time. Its messages go
    // through the prompt service over `owner`. Refused: the table rules refused the row, whose
    // text the library has shown. A kind out of range and the library's errors are raised, and
    // the row is not stored.
    static Outcome Register(int32_t kind, const QString& code, QWidget* owner);

    // True when `fieldName` of the day's row in `ds` may be written now; otherwise its message.
    static bool CheckAccessSequence(int32_t kind, odb::DataSet& ds, const QString& fieldName, bool morning,
                                    QWidget* owner);
};
