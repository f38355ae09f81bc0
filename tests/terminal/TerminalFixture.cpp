// The shop floor of the terminal's tests.
#include "TerminalFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "startup/SharedState.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/carddevices/modMagneticDev.h"
#include "terminal/frmActionLavrixManager.h"
#include "terminal/frmCommandPanel.h"
#include "terminal/frmRequestConfirmation.h"
#include "terminal/frmSelectLavrix.h"

void TerminalFixture::SetUp() {
    StepRoadFixture::SetUp();
    for (const auto& [code, name] : {std::pair{"0012", "Rossi Mario"}, std::pair{"0013", "Bianchi Luca"}})
        ASSERT_TRUE(rows("Operai")->AddRow({"Codice", code, "Nominativo", name, "Manzione", "T1"}));
    g_dtmOraPredefinitaEntrataMattino = DefaultOraEntrataMattino();
    g_dtmOraPredefinitaUscitaMattino = DefaultOraUscitaMattino();
    g_dtmOraPredefinitaEntrataPomeriggio = DefaultOraEntrataPomeriggio();
    g_dtmOraPredefinitaUscitaPomeriggio = DefaultOraUscitaPomeriggio();
    g_intMinPausaMattutina = 0;
    g_intTotMinGiornataLavorativa = 490;
    g_intMagneticDevType = kDevTypeKeyboard;
    g_strCurrentUser = QStringLiteral("Operatore");
    g_blnIsWorkStation = true;
    g_blnCommandPanelClosed = false;
    previousRunner_ = odb::SetModalRunner([this](QDialog& d) { return runDialog(d); });
    notify.clear();
}

void TerminalFixture::TearDown() {
    if (frmActionLavrixManager::IsLoaded()) frmActionLavrixManager::Get()->Unload();
    if (frmCommandPanel* panel = frmCommandPanel::Get()) panel->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    odb::SetModalRunner(std::move(previousRunner_));
    g_blnIsWorkStation = false;
    g_strCurrentUser.clear();
    StepRoadFixture::TearDown();
}

void TerminalFixture::addCustomerDetails() {
    addCustomer("Rossi Srl", false);
    addToolingPart("Stampo A", 100);
    auto order = orderNumbered(12);
    ASSERT_TRUE(order->SetReference("Cliente", "Rossi Sr"));
    ASSERT_TRUE(setAndSave(*order, "Urgente", true));
    ASSERT_EQ(addToolingDetail(*order, "Stampo A", 4)->ColText("NumeroCommessa"), "1-0012/001");
    ASSERT_EQ(addToolingDetail(*order, "", 2)->ColText("NumeroCommessa"), "1-0012/002");
    notify.clear();
}

void TerminalFixture::addProductionDetail() {
    std::shared_ptr<odb::DataSet> order;
    for (int i = 0; i < 5; ++i)
        order = addProductionOrder("", 1);
    auto details = order->GetReference("Dettagli");
    ASSERT_TRUE(details->AddRow({"Quantità", 6}));
    ASSERT_EQ(details->ColText("NumeroCommessa"), "3-0005/001");
    notify.clear();
}

QStringList TerminalFixture::boxes(bool clear) {
    QStringList out;
    for (const auto& s : prompt->shown())
        if (s.kind == RecordingPrompt::Kind::MsgBox) out << s.text;
    if (clear) prompt->clear();
    return out;
}

void TerminalFixture::type(const QString& text, QWidget* fallback) {
    for (QChar c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
        const int key = c.isLetterOrNumber() ? int(c.toUpper().unicode()) : int(Qt::Key_unknown);
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(target, &e);
    }
}

void TerminalFixture::press(int key, QWidget* fallback, const QString& text) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &e);
}

int TerminalFixture::runDialog(QDialog& dialog) {
    dialog.show();
    QCoreApplication::processEvents();
    if (auto* card = qobject_cast<frmMagneticDev*>(&dialog)) {
        ++cardReads;
        if (duringCardRead) duringCardRead();
        const QString code = cards.empty() ? QString() : cards.front();
        if (!cards.empty()) cards.pop_front();
        card->activateWindow();
        card->txtKeyCode()->setFocus();
        if (code.isEmpty()) {
            press(Qt::Key_Escape, card->txtKeyCode());
        } else {
            type(code, card->txtKeyCode());
            press(Qt::Key_Return, card->txtKeyCode(), QStringLiteral("\r"));
        }
    } else if (auto* select = qobject_cast<frmSelectLavrix*>(&dialog)) {
        if (onSelect)
            onSelect(*select);
        else
            select->cmdConferma()->click();
    } else if (auto* confirmation = qobject_cast<frmRequestConfirmation*>(&dialog)) {
        questions << confirmation->lblQuestion()->text();
        const bool go = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        if (go)
            type(QStringLiteral("0"), confirmation->cmdContinued());
        else
            confirmation->cmdTerminate()->click();
    } else {
        dialog.reject();
    }
    dialog.hide();
    return dialog.result();
}
