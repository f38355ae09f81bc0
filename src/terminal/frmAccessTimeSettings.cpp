// The working-hours window.
#include "terminal/frmAccessTimeSettings.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cmath>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/Format.h"
#include "model/CalcWorkedMinutes.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "platform/Prompt.h"
#include "startup/DatabaseOpening.h"
#include "startup/PlaceDialog.h"
#include "startup/ShowErrorDetails.h"
#include "startup/modZeltoFormUtility.h"

namespace {

using namespace MsgBoxStyle;

const char* const kTimeLabels[4] = {"Orario ingresso mattutino:", "Orario uscita mattutina:",
                                    "Orario ingresso pomeridiano:", "Orario uscita pomeridiana:"};
const char* const kTimeKeys[4] = {"OraPredefinitaEntrataMattino", "OraPredefinitaUscitaMattino",
                                  "OraPredefinitaEntrataPomeriggio", "OraPredefinitaUscitaPomeriggio"};
double* const kTimeCopies[4] = {&g_dtmOraPredefinitaEntrataMattino, &g_dtmOraPredefinitaUscitaMattino,
                                &g_dtmOraPredefinitaEntrataPomeriggio, &g_dtmOraPredefinitaUscitaPomeriggio};

void refuse(const QString& text, QWidget* owner, QLineEdit* focus) {
    Prompt::instance().msgBox(text, vbCritical, {}, owner);
    focus->setFocus();
}

// A time of day read from a box. A date alone reads as midnight, which no working hour can be.
bool readTime(const QString& text, double& time) {
    double value = 0;
    if (!ParseVbDate(text.trimmed(), value)) return false;
    time = OleTimePart(value);
    return std::llround(time * 86400.0) != 0;
}

}  // namespace

frmAccessTimeSettings::frmAccessTimeSettings(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAccessTimeSettings"));
    setWindowTitle(QStringLiteral("Impostazioni "));
    auto* frame = new QGroupBox(QStringLiteral("Impostazioni orari di accesso: "), this);
    auto* form = new QFormLayout(frame);
    for (int i = 0; i < 4; ++i) {
        times_[i] = new QLineEdit(frame);
        times_[i]->setMaxLength(8);
        times_[i]->setMaximumWidth(120);
        form->addRow(QString::fromUtf8(kTimeLabels[i]), times_[i]);
    }
    txtMinRitardoAmmessi_ = new QLineEdit(frame);
    txtMinRitardoAmmessi_->setToolTip(QStringLiteral(
        "Minuti di ritardo permessi senza segnalazione nella stampa mensile riepilogo accessi "));
    txtMinPausaMattutina_ = new QLineEdit(frame);
    txtMinPausaMattutina_->setToolTip(
        QStringLiteral("Minuti esclusi dal conteggio per il calcolo di eventuali ritardi"));
    for (QLineEdit* box : {txtMinRitardoAmmessi_, txtMinPausaMattutina_}) {
        // Three places of digits or signs; what is not a whole number is refused at OK.
        box->setMaxLength(3);
        box->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9+\\- ]{0,3}")), box));
        box->setMaximumWidth(60);
    }
    form->addRow(QStringLiteral("Minuti di ritardo ammessi:"), txtMinRitardoAmmessi_);
    form->addRow(QStringLiteral("Minuti pausa mattutina:"), txtMinPausaMattutina_);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    cmdOK_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    connect(cmdOK_, &QPushButton::clicked, this, &frmAccessTimeSettings::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmAccessTimeSettings::cmdCancel_Click);
    // The hours shown were read with the database let go: they are not stored into another one.
    OnDatabaseRelease(this, [this] { close(); });
    SetParamConfiguration();
}

frmAccessTimeSettings* frmAccessTimeSettings::ShowOver(QWidget* owner) {
    auto* window = new frmAccessTimeSettings(owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    KeepAboveOwner(window, owner);
    window->show();
    return window;
}

void frmAccessTimeSettings::SetParamConfiguration() {
    for (int i = 0; i < 4; ++i)
        times_[i]->setText(FormatVbDate(OleTimePart(*kTimeCopies[i])));
    txtMinRitardoAmmessi_->setText(VbFormat(Variant(g_intMinRitardoAmmessi), QStringLiteral("000")));
    txtMinPausaMattutina_->setText(VbFormat(Variant(g_intMinPausaMattutina), QStringLiteral("000")));
}

bool frmAccessTimeSettings::checkMinutes(QLineEdit* box, const QString& missing, const QString& invalid,
                                         int16_t& minutes) {
    const QString text = box->text().trimmed();
    if (text.isEmpty()) {
        refuse(missing, this, box);
        box->setText(QStringLiteral("0  "));
        return false;
    }
    bool whole = false;
    const int value = text.toInt(&whole);
    if (!whole || value < 0) {
        refuse(invalid, this, box);
        return false;
    }
    minutes = static_cast<int16_t>(value);
    return true;
}

void frmAccessTimeSettings::cmdOK_Click() {
    double time[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!readTime(times_[i]->text(), time[i])) {
            refuse(QStringLiteral("Impostazione degli Orari non valida"), this, times_[0]);
            return;
        }
    }
    // Every check runs and says its own; equal times pass.
    bool ok = true;
    if (WholeMinutesBetween(time[0], time[1]) < 0) {
        refuse(QStringLiteral("L'orario di usita mattutino deve essere posteriore a quello di ingresso"),
               this, times_[1]);
        ok = false;
    }
    if (WholeMinutesBetween(time[1], time[2]) < 0) {
        refuse(QStringLiteral(
                   "L'orario di ingresso pomeridiano deve essere posteriore a quello uscita mattutino"),
               this, times_[2]);
        ok = false;
    }
    if (WholeMinutesBetween(time[2], time[3]) < 0) {
        refuse(QStringLiteral("L'orario di uscita pomeridiano deve essere posteriore a quello di ingresso"),
               this, times_[3]);
        ok = false;
    }
    int16_t lateness = 0, pause = 0;
    ok &= checkMinutes(txtMinRitardoAmmessi_, QStringLiteral("Impostare i minuti di ritardo ammessi"),
                       QStringLiteral("Impostazione dei minuti di ritardo ammessi non valida"), lateness);
    ok &= checkMinutes(txtMinPausaMattutina_, QStringLiteral("Impostare i minuti di pausa mattutina"),
                       QStringLiteral("Impostazione dei minuti di pausa mattutina non valida"), pause);
    if (!ok) return;

    try {
        const int16_t day = CalcWorkedMinutes(time[0], time[1], time[2], time[3], pause);
        // All seven, or none: a station must never read a half-changed working day.
        odb::Connection& connection = *g_objConnection;
        connection.BeginTrans();
        try {
            for (int i = 0; i < 4; ++i)
                g_objDatabase->SaveSetting(g_objConnection, QString::fromUtf8(kTimeKeys[i]),
                                           FormatVbDate(time[i]));
            g_objDatabase->SaveSetting(g_objConnection, QStringLiteral("MinPausaMattutina"),
                                       QString::number(pause));
            g_objDatabase->SaveSetting(g_objConnection, QStringLiteral("MinRitardoAmmessi"),
                                       QString::number(lateness));
            g_objDatabase->SaveSetting(g_objConnection, QStringLiteral("TotMinGiornataLavorativa"),
                                       QString::number(day));
            connection.CommitTrans();
        } catch (...) {
            connection.RollbackTrans();
            throw;
        }
        for (int i = 0; i < 4; ++i)
            *kTimeCopies[i] = time[i];
        g_intMinPausaMattutina = pause;
        g_intMinRitardoAmmessi = lateness;
        g_intTotMinGiornataLavorativa = day;
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
        return;
    }
    close();
}
