// The condition error: number, source and an Italian text with the position.
#include "odb/ConditionError.h"

namespace odb {

void RaiseConditionError(const QString& text, int pos, const QString& problem) {
    const QString description =
        QStringLiteral("Condizione non valida alla posizione %1: %2.\n%3").arg(pos + 1).arg(problem, text);
    throw AppError(kConditionErrorNumber, QStringLiteral("odb"), description);
}

}  // namespace odb
