// Modal running of the library's dialogs, through a runner that tests replace so that nothing
// blocks: the runner drives the dialog's widgets and returns its result.
#pragma once

#include <functional>

class QDialog;

namespace odb {

using ModalRunner = std::function<int(QDialog&)>;

// Runs `dialog` modally (QDialog::exec) unless a runner was set, as a wait for the user; returns the
// dialog's result.
int RunModal(QDialog& dialog);
// Replaces the runner (an empty one restores exec); returns the previous one.
ModalRunner SetModalRunner(ModalRunner runner);

}  // namespace odb
