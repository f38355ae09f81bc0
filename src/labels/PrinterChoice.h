// The printer choice of the print runs and the printer setup of the layout editors: the registry's
// printers offered through the prompt service, over a window of the program.
#pragma once

#include <QString>

class QWidget;

// A window of the program the chooser can stand over: the active one, the caller's, or any shown;
// null when none is shown.
QWidget* ShownWindow(QWidget* frm);
// Offers the registry's printers, proposing `printer` (or the current one); with `copies` the chooser
// asks them too. The printer chosen becomes the current and default printer of the run. False when the
// user cancelled; with no printer at all `printer` becomes empty.
bool ChooseRegistryPrinter(const QString& title, QString& printer, QWidget* owner, int* copies = nullptr);
// The printer setup: the printer, paper and orientation chosen become the current printer of the run,
// on which every print goes that names no printer here.
void SetUpCurrentPrinter(const QString& title, QWidget* owner);
