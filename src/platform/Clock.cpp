// The program's clock, which tests set.
#include "platform/Clock.h"

#include "base/DateUtil.h"

namespace {
std::function<QDateTime()>& source() {
    static std::function<QDateTime()> s;
    return s;
}
}  // namespace

namespace {
QDateTime rawNow() {
    return source() ? source()() : QDateTime::currentDateTime();
}
}  // namespace

QDateTime Clock::nowDateTime() {
    QDateTime t = rawNow();
    const QTime tm = t.time();
    t.setTime(QTime(tm.hour(), tm.minute(), tm.second()));
    return t;
}

// OLE dates keep whole seconds anyway: the time is not set again first (a local-time conversion
// that rules paid on every stamp).
double Clock::now() {
    return OleDateFromQDateTime(rawNow());
}
double Clock::today() {
    return OleDateFromQDate(rawNow().date());
}

void Clock::setSource(std::function<QDateTime()> s) {
    source() = std::move(s);
}
void Clock::setFixed(const QDateTime& at) {
    source() = [at] { return at; };
}
void Clock::reset() {
    source() = nullptr;
}
