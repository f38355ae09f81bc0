// The application object that keeps errors inside the event they escaped from.
#include "platform/GuardedApplication.h"

#include <cstdio>
#include <new>

#include "base/AppError.h"

namespace {

GuardedApplication::Reporter& reporter() {
    static GuardedApplication::Reporter r;
    return r;
}

void report(const AppError& e) {
    // One at a time: what fails again under the message (a repaint, a timer) is not stacked on it.
    static bool reporting = false;
    // A copy: the reporter may replace itself while it shows the error.
    const GuardedApplication::Reporter r = reporting ? nullptr : reporter();
    if (r) {
        reporting = true;
        try {
            r(e);
        } catch (...) {
        }
        reporting = false;
        return;
    }
    std::fprintf(stderr, "%s\n", e.description().toLocal8Bit().constData());
}

AppError runTimeError(int32_t number) {
    return AppError(number, QString::fromLatin1(kProductName), VbErrorText(number));
}

}  // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError& e) {
        report(e);
    } catch (const std::bad_alloc&) {
        report(runTimeError(7));
    } catch (...) {
        report(runTimeError(51));
    }
    return false;
}

GuardedApplication::Reporter GuardedApplication::SetEscapedErrorReporter(Reporter r) {
    Reporter previous = std::move(reporter());
    reporter() = std::move(r);
    return previous;
}

void GuardedApplication::Report(const AppError& error) {
    report(error);
}
