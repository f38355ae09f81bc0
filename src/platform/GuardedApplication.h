// GuardedApplication: the program's application object. An error that escapes a window event, a
// timer or a queued call is caught before it leaves the event, since Qt cannot carry an exception
// through its event loop, and handed to a reporter; the program goes on.
#pragma once

#include <QApplication>

#include <functional>

class AppError;

class GuardedApplication : public QApplication {
  public:
    using Reporter = std::function<void(const AppError&)>;

    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Who is told of an escaped error, as the program's error type (a shortage of memory as run-time
    // error 7, any other exception as run-time error 51); returns the one told before. With none, or
    // while it is telling an earlier one, the error is written to the standard error output.
    static Reporter SetEscapedErrorReporter(Reporter reporter);
    // Tells that reporter of a failure of work done with no window to show it (a document printed
    // while no window of the program is shown), as it tells an escaped error.
    static void Report(const AppError& error);
};
