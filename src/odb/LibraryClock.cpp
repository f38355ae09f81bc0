// The library's clock: the program's when given, the system's otherwise.
#include "odb/LibraryClock.h"

#include <QDateTime>

#include <utility>

#include "base/DateUtil.h"

namespace odb {

namespace {
std::function<double()>& source() {
    static std::function<double()> now;
    return now;
}
}  // namespace

void LibraryClock::Set(std::function<double()> now) {
    source() = std::move(now);
}

double LibraryClock::Now() {
    return source() ? source()() : OleDateFromQDateTime(QDateTime::currentDateTime());
}

}  // namespace odb
