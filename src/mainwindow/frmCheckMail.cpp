// The sent-notification list.
#include "mainwindow/frmCheckMail.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "mainwindow/MailNotification.h"
#include "platform/MailErrors.h"
#include "platform/MailService.h"
#include "platform/Prompt.h"
#include "startup/PlaceDialog.h"
#include "startup/ShowErrorDetails.h"
#include "startup/modZeltoFormUtility.h"

namespace {
// The list stops as soon as it holds more than 300 lines.
constexpr int kMaxLines = 301;
}  // namespace

bool DisplaySystemMail(const QString&, const QString&, QListWidget* list) {
    list->clear();
    MailService mail;
    try {
        mail.SignOn(MailService::Purpose::Listing);
        mail.ListInbox(QStringLiteral("Notifica inviata a: "), kMaxLines, [list](const ReceivedMail& m) {
            list->addItem(m.received.toString(QStringLiteral("dd/MM/yyyy hh:mm")) + QStringLiteral(" - ") +
                          m.subject);
        });
        mail.SignOff();
    } catch (const AppError& e) {
        if (mail.SignedOn()) mail.SignOff();
        if (MailStopped(e)) return false;
        SetCurrentError(e);
        ShowErrorDetails(QStringLiteral("Errore durante la lettura delle Mails di notifica\r\rDettagli:\r") +
                         e.description());
    }
    return true;
}

frmCheckMail::frmCheckMail(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmCheckMail"));
    KeepAboveOwner(this, owner);
    setWindowTitle(QStringLiteral("Controllo E-Mail di notifica"));
    lstMailSent_ = new QListWidget(this);
    lstMailSent_->setObjectName(QStringLiteral("lstMailSent"));
    cmdChiudi_ = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    connect(cmdChiudi_, &QPushButton::clicked, this, &frmCheckMail::cmdChiudi_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdChiudi_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstMailSent_, 1);
    layout->addLayout(buttons);
    resize(640, 420);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    try {
        const MailSettings s = MailSettings::Load();
        stopped_ = !DisplaySystemMail(s.subject, s.text, lstMailSent_);
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
    if (owner) owner->unsetCursor();
}

frmCheckMail* frmCheckMail::ShowOver(QWidget* owner) {
    // One list at a time; the one being read is not shown yet.
    if (auto* open =
            owner ? owner->findChild<frmCheckMail*>(QString(), Qt::FindDirectChildrenOnly) : nullptr) {
        if (!open->isVisible()) {
            Prompt::instance().beep();
            return nullptr;
        }
        owner->unsetCursor();
        open->setWindowState(open->windowState() & ~Qt::WindowMinimized);
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* window = new frmCheckMail(owner);
    if (window->stopped_) {
        delete window;
        return nullptr;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    CentreOnOwner(window, owner);
    window->show();
    return window;
}
