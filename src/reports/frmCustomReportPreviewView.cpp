// The report preview's view: the page sized for the zoom, placed in the view area, the scroll bars,
// the layout of the window when it is resized.
#include <QCheckBox>
#include <QPainter>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

#include "base/Variant.h"
#include "reports/frmCustomReportPreview.h"

namespace {

constexpr int kBarWidth = 17;  // 255 twips

// The page picture, drawn to whatever size it is given.
class PreviewImage : public QWidget {
  public:
    PreviewImage(QWidget* parent, const QImage& page) : QWidget(parent), page_(page) {
        setObjectName(QStringLiteral("imgView"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (page_.isNull()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), page_);
    }

  private:
    const QImage& page_;
};

int rounded(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

}  // namespace

QWidget* frmCustomReportPreview::makeImageView() {
    return new PreviewImage(pnlCenter_, shown_);
}

void frmCustomReportPreview::chkStretch_Click() {
    RefreshView();
    for (QRadioButton* o : {optStretchAuto_, optStretchArea_, optStretch300_, optStretch200_})
        o->setEnabled(chkStretch_->isChecked());
}

void frmCustomReportPreview::arrangePreviewImage() {
    imgView_->hide();
    vsImage_->setValue(0);
    hsImage_->setValue(0);
    imgView_->move(0, 0);
    if (shown_.isNull()) {
        vsImage_->hide();
        hsImage_->hide();
        imgView_->resize(0, 0);
        return;
    }
    const int natW = shown_.width(), natH = shown_.height();
    const int panelW = pnlCenter_->width(), panelH = pnlCenter_->height();
    int w = natW, h = natH;
    if (chkStretch_->isChecked()) {
        vsImage_->hide();
        hsImage_->hide();
        // The width left beside the vertical bar, so that a page fitted to it is never under the bar.
        const int areaW = panelW - kBarWidth, areaH = panelH;
        if (optStretchAuto_->isChecked()) {
            w = areaW;
            h = rounded(double(natH) * areaW / natW);
        } else if (optStretchArea_->isChecked()) {
            const int fitW = static_cast<int>(double(natW) * areaH / natH);
            if (fitW > areaW) {
                w = areaW;
                h = rounded(double(natH) * areaW / natW);
            } else {
                h = areaH;
                w = rounded(double(natW) * areaH / natH);
            }
        } else {
            const int factor = optStretch200_->isChecked() ? 2 : 3;
            w = factor * natW;
            h = factor * natH;
        }
    }
    imgView_->resize(qMax(w, 1), qMax(h, 1));
    // Qt's bars take the whole range: a unit of the bar is a pixel of the picture.
    if (w > panelW) {
        hsImage_->setMaximum(w - panelW + kBarWidth);
        hsImage_->show();
    } else {
        hsImage_->hide();
    }
    if (h > panelH) {
        vsImage_->setMaximum(h - panelH + kBarWidth);
        vsImage_->show();
        const int left = panelW - kBarWidth > w ? (panelW - w - kBarWidth) / 2 : 0;
        imgView_->move(left, 0);
    } else {
        vsImage_->hide();
        imgView_->move(w < panelW ? (panelW - w) / 2 : 0, h < panelH ? (panelH - h) / 2 : 0);
    }
    imgView_->show();
}

void frmCustomReportPreview::scrollBy(QScrollBar* bar, int steps) {
    const int64_t value = int64_t(bar->value()) + int64_t(steps) * bar->pageStep();
    bar->setValue(static_cast<int>(std::clamp<int64_t>(value, bar->minimum(), bar->maximum())));
}

void frmCustomReportPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (isMinimized()) return;
    const int barH = pnlBottom_->height();
    pnlBottom_->setGeometry(0, height() - barH, width(), barH);
    pnlCenter_->setGeometry(0, 0, width(), height() - barH);
    const int cw = pnlCenter_->width(), ch = pnlCenter_->height();
    vsImage_->setGeometry(cw - kBarWidth, 0, kBarWidth, ch);
    hsImage_->setGeometry(0, ch - kBarWidth, cw - kBarWidth, kBarWidth);
    vsImage_->raise();
    hsImage_->raise();
    arrangePreviewImage();
}
