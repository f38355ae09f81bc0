// The condition error: the library's bad-condition error with an Italian text and the position.
#include "odb/condition/ConditionError.h"

#include "odb/LibraryError.h"

namespace odb {

void RaiseConditionError(const QString& text, int pos, const QString& problem) {
    LibraryError::Raise(
        odbErrBadCondition,
        QStringLiteral("Condizione non valida alla posizione %1: %2.\n%3").arg(pos + 1).arg(problem, text));
}

}  // namespace odb
