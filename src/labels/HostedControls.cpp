// The class registry of the object viewer; "Shell.Explorer" (a document viewer) is always there.
#include "labels/HostedControls.h"

#include <QHash>

#include "base/AppError.h"
#include "labels/ShellExplorer.h"

namespace {

QHash<QString, HostedControls::Factory>& classes() {
    static QHash<QString, HostedControls::Factory> map = [] {
        QHash<QString, HostedControls::Factory> m;
        m.insert(QStringLiteral("shell.explorer"),
                 [](QWidget* parent) { return ShellExplorer::Create(parent); });
        return m;
    }();
    return map;
}

}  // namespace

void HostedControls::Register(const QString& classId, Factory factory) {
    classes().insert(classId.toLower(), std::move(factory));
}

void HostedControls::Unregister(const QString& classId) {
    classes().remove(classId.toLower());
}

HostedControl HostedControls::Create(const QString& classId, QWidget* parent) {
    const auto it = classes().constFind(classId.toLower());
    if (it == classes().constEnd())
        throw AppError(711, QStringLiteral("frmObjectView"),
                       QStringLiteral("Stringa di classe non valida: '%1'").arg(classId));
    return it.value()(parent);
}
