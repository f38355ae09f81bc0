// PrinterSetting: a printer as a printer setup shows it and gives it back: its device name, the papers
// it takes, its paper and its orientation.
#pragma once

#include <QList>
#include <QPageSize>
#include <QString>

struct PrinterSetting {
    QString printer;
    QList<QPageSize> papers;  // empty for a printer whose paper is its own
    QPageSize paper;          // invalid when the printer has no paper of a known size
    int orientation = 1;      // 1 portrait, 2 landscape
};
