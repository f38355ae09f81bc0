// The modal runner of the library's dialogs.
#include "odb/ui/ModalDialog.h"

#include <QDialog>

#include "platform/WaitingForUser.h"

namespace odb {

namespace {
ModalRunner& runner() {
    static ModalRunner r;
    return r;
}
}  // namespace

int RunModal(QDialog& dialog) {
    const WaitingForUser waiting;
    if (runner()) return runner()(dialog);
    return dialog.exec();
}

ModalRunner SetModalRunner(ModalRunner r) {
    ModalRunner previous = std::move(runner());
    runner() = std::move(r);
    return previous;
}

}  // namespace odb
