// Default printer through Qt's printer information.
#include "platform/DefaultPrinter.h"

#include <QPrinterInfo>

namespace {
QString& chosen() {
    static QString n;
    return n;
}
bool& chosenSet() {
    static bool b = false;
    return b;
}
}  // namespace

QString DefaultPrinterName() {
    if (chosenSet()) return chosen();
    return QPrinterInfo::defaultPrinterName();
}

void SetDefaultPrinterName(const QString& name) {
    chosen() = name;
    chosenSet() = !name.isEmpty();
}
