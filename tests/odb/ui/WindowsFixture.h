// The library's windows on the program's own database: a fixture with the step-road helpers and
// a modal runner that plays a script, one step per dialog opened (nested ones included).
#pragma once

#include <QDialog>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <ostream>

#include "model/StepRoadFixture.h"
#include "odb/ui/ModalDialog.h"
#include "support/RecordingPrompt.h"

// Texts read as texts in failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace uitest {

// Each dialog opened while the script lives takes the next step; with none left it is cancelled.
class Script {
  public:
    using Step = std::function<int(QDialog&)>;
    explicit Script(std::deque<Step> steps) : steps_(std::move(steps)) {
        previous_ = odb::SetModalRunner([this](QDialog& d) {
            opened.push_back(d.objectName());
            if (steps_.empty()) return int(QDialog::Rejected);
            Step step = std::move(steps_.front());
            steps_.pop_front();
            return step(d);
        });
    }
    ~Script() { odb::SetModalRunner(std::move(previous_)); }
    bool done() const { return steps_.empty(); }
    QStringList opened;  // the object names of the dialogs, in the order they opened

  private:
    std::deque<Step> steps_;
    odb::ModalRunner previous_;
};

template <class T>
T& As(QDialog& d) {
    auto* t = qobject_cast<T*>(&d);
    EXPECT_NE(t, nullptr) << d.objectName().toStdString();
    return *t;
}

}  // namespace uitest
