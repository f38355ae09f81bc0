// The splash window.
#include "startup/frmSplash.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"

frmSplash::frmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);
    lblProductName_ = new QLabel(kAppSettingsName, frame);
    QFont big = lblProductName_->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    lblProductName_->setFont(big);
    lblProductName_->setAlignment(Qt::AlignCenter);
    lblVersion_ = new QLabel(QStringLiteral("Version ") + AppVersionText(), frame);
    lblVersion_->setAlignment(Qt::AlignRight);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(24, 24, 24, 16);
    inner->addStretch();
    inner->addWidget(lblProductName_);
    inner->addStretch();
    inner->addWidget(lblVersion_);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    resize(420, 240);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
}

QString frmSplash::versionText() const {
    return lblVersion_->text();
}
QString frmSplash::productText() const {
    return lblProductName_->text();
}
