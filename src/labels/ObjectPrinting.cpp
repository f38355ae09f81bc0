// The engines' PrintObject: the object viewer sized to the page, the setting, the modal viewer.
#include "labels/ObjectPrinting.h"

#include <QApplication>

#include "base/AppError.h"
#include "labels/frmObjectView.h"
#include "odb/ui/ModalDialog.h"
#include "platform/DrawSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/modOSWinUtil.h"

namespace {

// Calls the setting text on the object: "Name=value" sets a property (an "=" anywhere makes it one),
// "Name argument" calls a method; a text with neither calls nothing.
void ApplySetting(const ObjectRef& object, const QString& setting) {
    qsizetype n = setting.indexOf(u'=');
    CallKind kind = CallKind::PropertyLet;
    if (n < 0) {
        n = setting.indexOf(u' ');
        kind = CallKind::Method;
    }
    if (n < 1) return;
    if (!object) RaiseVbError(91);
    VariantList args{Variant(setting.mid(n + 1))};
    object->invoke(setting.left(n), kind, args);
}

}  // namespace

QSizeF PageOnScreen(float h, float w) {
    const QSizeF screen = ScreenSizeMillimetres();
    QSizeF size;
    if (h <= w) {
        size.setWidth(screen.width() * 0.95);
        size.setHeight(size.width() / (w / h));
    } else {
        size.setHeight(screen.height() * 0.95);
        size.setWidth(size.height() / (h / w));
    }
    return size;
}

void PrintThroughObjectViewer(const Object& engine, const QString& classId, const QString& setting,
                              const QString& printMethod, bool preview, bool horizontal) {
    frmObjectView viewer(QApplication::activeWindow());
    const ObjectRef object = viewer.SetObject(classId, QStringLiteral("CustomObject"), printMethod, preview);
    QSizeF page(210, 297);
    if (auto printer = PrinterRegistry::instance().current()) {
        page = printer->physicalSize();
        if (printer->orientation() != (horizontal ? 2 : 1)) page.transpose();
    }
    const QSizeF mm = PageOnScreen(static_cast<float>(page.height()), static_cast<float>(page.width()));
    const double dpi = viewer.logicalDpiX();
    viewer.resize(qRound(mm.width() / 25.4 * dpi), qRound(mm.height() / 25.4 * dpi));
    try {
        ApplySetting(object, setting);
    } catch (const AppError& e) {
        RaiseAppError(engine,
                      QStringLiteral("Impostazione del file fallita mediante il medoto/proprietà:\r") +
                          setting + QStringLiteral("\r\rError: ") + e.description());
    }
    odb::RunModal(viewer);
}
