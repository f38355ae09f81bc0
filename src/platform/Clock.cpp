// The program's clock, which tests set.
#include "platform/Clock.h"

#include "base/DateUtil.h"

namespace {
std::function<QDateTime()>& source() {
    static std::function<QDateTime()> s;
    return s;
}
}  // namespace

QDateTime Clock::nowDateTime() {
    QDateTime t = source() ? source()() : QDateTime::currentDateTime();
    const QTime tm = t.time();
    t.setTime(QTime(tm.hour(), tm.minute(), tm.second()));
    return t;
}

double Clock::now() {
    return OleDateFromQDateTime(nowDateTime());
}
double Clock::today() {
    return OleDateFromQDate(nowDateTime().date());
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
