// The order-number dialog.
#include "mainwindow/frmSetOrderNumber.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "base/Variant.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "startup/ShowErrorDetails.h"
#include "startup/modZeltoFormUtility.h"

namespace {

using namespace MsgBoxStyle;

const QString kEmployeesKey = QStringLiteral("OrderNumber_Impiegati");
const QString kOthersKey = QStringLiteral("OrderNumber_Altri");
const QChar kCr = QLatin1Char('\r');

bool isNumeric(const QString& text) {
    double value = 0;
    return ParseVbNumber(text, value);
}

}  // namespace

frmSetOrderNumber::frmSetOrderNumber(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmSetOrderNumber"));
    setWindowTitle(QStringLiteral("Impostazioni"));
    auto* frame = new QGroupBox(QStringLiteral("Impostazione numero d' ordine:"), this);
    auto* form = new QFormLayout(frame);
    txtNumeroOrdineImpiegati_ = new QLineEdit(frame);
    txtNumeroOrdineImpiegati_->setObjectName(QStringLiteral("txtNumeroOrdineImpiegati"));
    txtNumeroOrdineAltri_ = new QLineEdit(frame);
    txtNumeroOrdineAltri_->setObjectName(QStringLiteral("txtNumeroOrdineAltri"));
    for (QLineEdit* box : {txtNumeroOrdineImpiegati_, txtNumeroOrdineAltri_}) {
        box->setMinimumWidth(120);
        box->installEventFilter(this);
    }
    form->addRow(QStringLiteral("Numero d'ordine IMPIEGATI :"), txtNumeroOrdineImpiegati_);
    form->addRow(QStringLiteral("Numero d'ordine ALTRI :"), txtNumeroOrdineAltri_);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdOK_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    connect(cmdOK_, &QPushButton::clicked, this, &frmSetOrderNumber::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmSetOrderNumber::cmdCancel_Click);
    Form_Load();
}

void frmSetOrderNumber::ShowModal(QWidget* owner) {
    frmSetOrderNumber dialog(owner);
    odb::RunModal(dialog);
}

void frmSetOrderNumber::Form_Load() {
    try {
        txtNumeroOrdineImpiegati_->setText(
            g_objDatabase->GetSetting(g_objConnection, kEmployeesKey, QStringLiteral("0")));
        txtNumeroOrdineAltri_->setText(
            g_objDatabase->GetSetting(g_objConnection, kOthersKey, QStringLiteral("0")));
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}

bool frmSetOrderNumber::eventFilter(QObject* watched, QEvent* event) {
    // Entering a box selects its whole text; after the click that placed the caret.
    if (event->type() == QEvent::FocusIn)
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    return QDialog::eventFilter(watched, event);
}

void frmSetOrderNumber::cmdOK_Click() {
    const struct {
        QLineEdit* box;
        const char* refusal;
    } checks[] = {{txtNumeroOrdineImpiegati_, "Il numero d' ordine per gli impiegati deve essere numerico"},
                  {txtNumeroOrdineAltri_, "Il numero d' ordine per gli altri deve essere numerico"}};
    for (const auto& c : checks) {
        if (!isNumeric(c.box->text())) {
            Prompt::instance().msgBox(QString::fromUtf8(c.refusal), vbInformation, {}, this);
            c.box->setFocus();
            return;
        }
    }
    // Both numbers or neither: the message after a failure says that nothing was stored.
    try {
        odb::Connection& connection = *g_objConnection;
        connection.BeginTrans();
        try {
            g_objDatabase->SaveSetting(g_objConnection, kEmployeesKey, txtNumeroOrdineImpiegati_->text());
            g_objDatabase->SaveSetting(g_objConnection, kOthersKey, txtNumeroOrdineAltri_->text());
            connection.CommitTrans();
        } catch (...) {
            if (connection.TransLevel() > 0) connection.RollbackTrans();
            throw;
        }
    } catch (const AppError&) {
        Prompt::instance().msgBox(QStringLiteral("Errore durante la registrazione dei dati") + kCr + kCr +
                                      QStringLiteral("I dati immessi non sono stati memorizzati"),
                                  vbCritical, {}, this);
        return;
    }
    accept();
}

void frmSetOrderNumber::cmdCancel_Click() {
    if (Prompt::instance().msgBox(QStringLiteral("Uscire ignorando le modifiche apportate?"),
                                  vbYesNo | vbQuestion | vbDefaultButton2, {}, this) == MsgResult::Yes)
        QDialog::reject();
}

void frmSetOrderNumber::reject() {
    cmdCancel_Click();
}
