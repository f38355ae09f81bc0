// The label preview: the engine's picture, scaled to the window.
#include "labels/frmLabelPreview.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "platform/PainterSurface.h"
#include "startup/modZeltoFormUtility.h"

frmLabelPreview::frmLabelPreview(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLabelPreview"));
    setWindowTitle(QStringLiteral("Anteprima"));
    setModal(true);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
}

frmLabelPreview::~frmLabelPreview() = default;

std::shared_ptr<PainterSurface> frmLabelPreview::NewSurface() {
    // The engine gives the picture its size; the resolution is the screen's.
    const int dpi = screen() ? static_cast<int>(screen()->logicalDotsPerInch()) : 96;
    surface_ = PainterSurface::onImage(QSizeF(100, 100), dpi);
    return surface_;
}

void frmLabelPreview::FitToSurface() {
    if (!surface_) return;
    const QSize pixels = surface_->image().size();
    resize(pixels);
    update();
}

void frmLabelPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (surface_) p.drawImage(rect(), surface_->image());
}

void frmLabelPreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}
