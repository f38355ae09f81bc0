// The size of the slow checks, from the environment.
#include "support/SlowCount.h"

#include <QByteArray>
#include <QtGlobal>

int SlowCount(int full, int ci) {
    return qgetenv("ZL_SLOW_TESTS").trimmed().toLower() == "ci" ? ci : full;
}
