// The prompt of the benchmarks that must show nothing: a message box ends the run, since a run that
// stopped on a question would measure the wrong work; the beep stays silent.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "platform/Prompt.h"

class QuietPrompt : public Prompt {
  public:
    MsgResult msgBox(const QString& text, int, const QString&, QWidget*) override {
        fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::abort();
    }
    bool inputBox(const QString&, const QString&, const QString&, QString&, QWidget*) override {
        return false;
    }
    QString openFileName(const QString&, const QString&, const QString&, QWidget*) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&, QWidget*) override { return {}; }
    QString folder(const QString&, const QString&, QWidget*) override { return {}; }
    bool choosePrinter(const QString&, const QStringList&, QString&, int*, QWidget*) override {
        return false;
    }
    void beep() override {}
};
