// The hidden mouse pointer of the shop-floor windows.
#include "terminal/HiddenPointer.h"

#include <QApplication>
#include <QCursor>

void HiddenPointer::Hide() {
    if (hidden_ || !qApp) return;
    QApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    hidden_ = true;
}

void HiddenPointer::Show() {
    if (!hidden_) return;
    hidden_ = false;
    // Only the blank cursor this put there is taken away.
    const QCursor* top = qApp ? QApplication::overrideCursor() : nullptr;
    if (top && top->shape() == Qt::BlankCursor) QApplication::restoreOverrideCursor();
}
