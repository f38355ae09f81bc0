// Runs the dialogs that the code under test shows modally through a script of the test, which
// works their controls, instead of waiting for a user.
#pragma once

#include <QDialog>

#include <functional>

#include "odb/ui/ModalDialog.h"

class ScopedModalScript {
  public:
    using Script = std::function<void(QDialog&)>;
    explicit ScopedModalScript(Script script = {}) : script_(std::move(script)) {
        previous_ = odb::SetModalRunner([this](QDialog& d) {
            ++runs;
            d.setResult(QDialog::Rejected);
            if (script_) script_(d);
            return d.result();
        });
    }
    ~ScopedModalScript() { odb::SetModalRunner(std::move(previous_)); }
    ScopedModalScript(const ScopedModalScript&) = delete;
    ScopedModalScript& operator=(const ScopedModalScript&) = delete;

    void set(Script script) { script_ = std::move(script); }
    int runs = 0;

  private:
    Script script_;
    odb::ModalRunner previous_;
};
