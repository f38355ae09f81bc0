// The printer choice of the print runs and the printer setup.
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
    // The choice is made the default printer: every later print that names no printer here uses it.
    printers.makeCurrent(chosen);
    return true;
}

void SetUpCurrentPrinter(const QString& title, QWidget* owner) {
    PrinterRegistry& printers = PrinterRegistry::instance();
    const std::vector<PrinterSetting> offered = printers.settings();
    PrinterSetting choice;
    if (const auto current = printers.current()) {
        for (const PrinterSetting& s : offered)
            if (s.printer == current->deviceName()) choice = s;
    }
    if (!Prompt::instance().printerSetup(title, offered, choice, owner)) return;
    printers.makeCurrent(choice);
}
