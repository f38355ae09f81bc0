// The printer choice of the print runs.
#include "labels/PrinterChoice.h"

#include <QApplication>
#include <QStringList>
#include <QWidget>

#include "platform/DrawSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/Prompt.h"

QWidget* ShownWindow(QWidget* frm) {
    if (QWidget* w = QApplication::activeWindow()) return w;
    if (frm && frm->isVisible()) return frm->window();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->inherits("frmMessage")) return w;
    return nullptr;
}

bool ChooseRegistryPrinter(const QString& title, QString& printer, QWidget* owner, int* copies) {
    PrinterRegistry& printers = PrinterRegistry::instance();
    QStringList names;
    for (int i = 0, n = printers.count(); i < n; ++i)
        names << printers.item(i)->deviceName();
    if (names.isEmpty()) {
        printer.clear();
        return true;
    }
    QString chosen = printer;
    if (!names.contains(chosen) && printers.current()) chosen = printers.current()->deviceName();
    if (!Prompt::instance().choosePrinter(title, names, chosen, copies, owner)) return false;
    printer = chosen;
    return true;
}
