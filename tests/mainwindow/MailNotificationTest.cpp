// The closed-job-order mail against the SMTP sink and the IMAP test server: the scan and the
// messages it sends, its day limit, the mail timer's schedule, the failures and their one box,
// the settings window (which goes with the database let go), the account window and the list of
// the copies found in the inbox.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "mainwindow/MailNotification.h"
#include "mainwindow/frmCheckMail.h"
#include "mainwindow/frmMailAccount.h"
#include "mainwindow/frmMailSettings.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "platform/Clock.h"
#include "platform/ImapInbox.h"
#include "platform/MailAccount.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "support/HostileImapServer.h"
#include "support/ImapTestServer.h"
#include "support/SmtpTestSink.h"

namespace {

const QDateTime kNow(QDate(2026, 4, 20), QTime(9, 30));

class MailNotificationTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Clock::setFixed(kNow);
        MailAccount a;
        a.smtpServer = "127.0.0.1";
        a.smtpPort = smtp.port();
        a.smtpSecurity = MailAccount::Security::None;
        a.imapPort = imap.port();
        a.imapSecurity = MailAccount::Security::None;
        a.user = "ufficio";
        a.password = "segreta";
        a.sender = "ufficio@ditta.it";
        a.Save();
        SaveSetting("Zelto Lavrix", "MailAccount", "Timeout", "1");
        start();
        prompt->clear();
    }

    void setting(const QString& key, const QString& value) {
        if (key == "EMailText")
            g_objDatabase->SaveSetting(g_objConnection, key, QString(), Variant(value));
        else
            g_objDatabase->SaveSetting(g_objConnection, key, value);
    }
    void standardSettings() {
        setting("EMailObject", "Commessa chiusa");
        setting("EMailText", "La sua commessa è pronta");
        setting("AccountAdminName", "Admin");
        setting("MailAdminAddress", "admin@ditta.it");
    }
    void customer(const QString& code, const QString& name, const QString& address, bool automatic = true) {
        ASSERT_TRUE(GetDBTable("Clienti").OpenData("OID=0")->AddRow(
            {"Codice", code, "Descrizione", name, "EMail", address, "InvioAutomaticoEMail", automatic}));
    }
    // A job order of the customer closed at `closed`; its identity.
    QString closedOrder(const QString& customerCode, const QDateTime& closed) {
        auto orders = GetDBTable("CommesseCliente").OpenData("OID=0");
        EXPECT_TRUE(orders->AddRow({"Cliente", customerCode}));
        EXPECT_EQ(orders->ColNumber("StatoNotifica"), 2);
        Clock::setFixed(closed);
        EXPECT_TRUE(orders->SetColValue("CommessaChiusa", true));
        EXPECT_TRUE(orders->SaveRow());
        Clock::setFixed(kNow);
        return orders->RowIdentity(true);
    }
    int state(const QString& id) {
        auto order = GetDBTable("CommesseCliente").OpenData("OID=" + id);
        return static_cast<int>(order->ColNumber("StatoNotifica"));
    }
    QString scanError() {
        try {
            ScanClosedJobOrdersForNotification();
        } catch (const AppError& e) {
            return e.description();
        }
        return {};
    }
    QStringList boxes() {
        QStringList out;
        for (const auto& shown : prompt->shown())
            if (shown.kind == RecordingPrompt::Kind::MsgBox) out << shown.text;
        return out;
    }

    TestMailbox mailbox;
    SmtpTestSink smtp{mailbox};
    ImapTestServer imap{mailbox};
};

TEST_F(MailNotificationTest, AScanMailsTheCustomerAndTheAdministrator) {
    standardSettings();
    customer("R1", "Rossi Srl", "info@rossi.it");
    const QString order = closedOrder("R1", kNow.addDays(-1));
    EXPECT_EQ(scanError(), "");
    EXPECT_EQ(state(order), 3);
    const auto mails = mailbox.messages();
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0].recipients, QList<QByteArray>{"info@rossi.it"});
    EXPECT_EQ(mails[0].subject, "Commessa chiusa");
    EXPECT_EQ(mails[0].header("To"), "Rossi Srl <info@rossi.it>");
    EXPECT_EQ(mails[0].text(), "La sua commessa è pronta");
    EXPECT_EQ(mails[1].recipients, QList<QByteArray>{"admin@ditta.it"});
    EXPECT_EQ(mails[1].header("To"), "Admin <admin@ditta.it>");
    EXPECT_EQ(mails[1].subject, "Notifica inviata a: Rossi Srl (info@rossi.it)");
    EXPECT_EQ(mails[1].text(), "Testo della notifica inviata: La sua commessa è pronta");

    // Without the copy, only the customer's message; a name cannot add a recipient.
    setting("Use_MailAdminNotification", "0");
    customer("V1", "Verdi\r\nBcc: spia@altrove.it", "info@verdi.it");
    closedOrder("V1", kNow.addSecs(-60));
    EXPECT_EQ(scanError(), "");
    ASSERT_EQ(mailbox.size(), 3u);
    EXPECT_EQ(mailbox.messages()[2].recipients, QList<QByteArray>{"info@verdi.it"});
    EXPECT_EQ(mailbox.messages()[2].header("Bcc"), "");
}

TEST_F(MailNotificationTest, TheDayLimitAndAFailedMail) {
    standardSettings();
    customer("R1", "Rossi Srl", "info@rossi.it");
    customer("N1", "Nessuno", "nessuno@rossi.it");
    const QDateTime limit(kNow.date().addDays(-15), QTime(0, 0));
    const QString before = closedOrder("R1", limit.addSecs(-60));
    const QString atLimit = closedOrder("R1", limit);
    const QString after = closedOrder("R1", limit.addSecs(60));
    EXPECT_EQ(scanError(), "");
    EXPECT_EQ(state(before), 2);
    EXPECT_EQ(state(atLimit), 2);
    EXPECT_EQ(state(after), 3);
    EXPECT_EQ(mailbox.size(), 2u);

    // A refused recipient: its order stays notified and is not mailed again; the order after it
    // goes at the next scan.
    smtp.refuseRecipient("nessuno@rossi.it");
    const QString refused = closedOrder("N1", kNow.addSecs(-120));
    const QString next = closedOrder("R1", kNow.addSecs(-60));
    const QString error = scanError();
    EXPECT_TRUE(
        error.startsWith("Errore durante l'invio dell' E-Mail di notifica\r\rDettagli:\rDestinatario "
                         "rifiutato dal server di posta\rRisposta del server: 550"))
        << error.toStdString();
    EXPECT_TRUE(
        error.endsWith("\r\rNome Destinatario: Nessuno\rIndirizzo Destinatario: nessuno@rossi.it\rOggetto "
                       "del messaggio: Commessa chiusa\rTesto del messaggio: La sua commessa è pronta"));
    EXPECT_EQ(state(refused), 3);
    EXPECT_EQ(state(next), 2);
    EXPECT_EQ(scanError(), "");
    EXPECT_EQ(state(next), 3);
    EXPECT_EQ(mailbox.size(), 4u);
    EXPECT_EQ(smtp.transactions(), 5);
}

TEST_F(MailNotificationTest, TheTimerScansEveryIntervalOnTheMailComputerOnly) {
    standardSettings();
    customer("R1", "Rossi Srl", "info@rossi.it");
    g_blnIsMailNotificationServer = true;
    setting("IntervalSendMail", "3");
    QStringList pattern;
    for (int tick = 1; tick <= 6; ++tick) {
        const QString order = closedOrder("R1", kNow.addSecs(-60));
        window->tmSendMail_Timer();
        pattern << QString::number(state(order));
    }
    EXPECT_EQ(pattern.join(""), "223223") << boxes().join("|").toStdString();
    setting("IntervalSendMail", "0");
    for (int tick = 0; tick < 2; ++tick) {
        const QString everyTick = closedOrder("R1", kNow.addSecs(-60));
        window->tmSendMail_Timer();
        EXPECT_EQ(state(everyTick), 3) << tick;
    }

    g_blnIsMailNotificationServer = false;
    const QString never = closedOrder("R1", kNow.addSecs(-60));
    for (int tick = 0; tick < 3; ++tick)
        window->tmSendMail_Timer();
    EXPECT_EQ(state(never), 2);
    window->Form_Activate();
    EXPECT_FALSE(window->ToolbarButton("SendMail")->isEnabled());
}

TEST_F(MailNotificationTest, ARefusedSignOnSaysSoOnceThoughTicksGoOn) {
    smtp.refuseAuthentication(true);
    QString raised;
    try {
        SendMailNotification("Rossi Srl", "info@rossi.it", "Commessa chiusa", "testo", true, "Admin",
                             "a@b.it");
    } catch (const AppError& e) {
        raised = e.description();
        EXPECT_EQ(e.number(), vbObjectError);
        EXPECT_EQ(e.source(), "Mail notification");
    }
    EXPECT_EQ(raised.toStdString(),
              "Errore durante l'invio dell' E-Mail di notifica\r\rDettagli:\rAccesso fallito: L'invio delle "
              "notifiche "
              "avviene tramite  l'account predefinito del sistema;\rcontrollare che esista un accont "
              "predefinito nel "
              "sistema.\r\rNome Destinatario: \rIndirizzo Destinatario: \rOggetto del messaggio: \rTesto del "
              "messaggio: ");

    // The error box stays up through three more ticks: one box.
    customer("R1", "Rossi Srl", "info@rossi.it");
    closedOrder("R1", kNow.addSecs(-60));
    closedOrder("R1", kNow.addSecs(-30));
    g_blnIsMailNotificationServer = true;
    setting("IntervalSendMail", "0");
    struct Answering : RecordingPrompt {
        std::function<void()> during;
        MsgResult msgBox(const QString& t, int s, const QString& title, QWidget* o) override {
            if (during) during();
            return RecordingPrompt::msgBox(t, s, title, o);
        }
    };
    auto answering = std::make_shared<Answering>();
    answering->during = [&] {
        for (int i = 0; i < 3; ++i)
            window->tmSendMail_Timer();
    };
    auto previous = Prompt::setInstance(answering);
    window->tmSendMail_Timer();
    Prompt::setInstance(previous);
    ASSERT_EQ(answering->texts().size(), 1);
    EXPECT_TRUE(answering->texts()[0].startsWith("Errore durante l'invio dell' E-Mail di notifica"));
}

TEST_F(MailNotificationTest, TheSentListShowsTheNewestCopiesOnly) {
    const QDateTime base(QDate(2026, 1, 5), QTime(8, 0));
    int copies = 0;
    for (int i = 0; i < 20000; ++i) {
        const QDateTime at = base.addSecs(60 * i);
        if (i % 50 == 0) {
            mailbox.addWithSubject(QString("Notifica inviata a: Cliente %1 (c%1@x.it)").arg(++copies), at);
        } else if (i % 500 == 7) {
            mailbox.addWithSubject("Re: Notifica inviata a: Cliente", at);
        } else if (i % 500 == 9) {
            mailbox.addWithSubject("notifica inviata a: minuscolo", at);
        } else {
            mailbox.addWithSubject(QString("Ordine %1").arg(i), at);
        }
    }
    mailbox.addWithSubject("Notifica inviata a: Società Verdi (info@verdi.it)", base.addSecs(60 * 20000));
    ASSERT_EQ(copies, 400);

    QListWidget list;
    DisplaySystemMail("s", "t", &list);
    ASSERT_EQ(list.count(), 301);
    EXPECT_EQ(list.item(0)->text().toStdString(),
              "19/01/2026 05:20 - Notifica inviata a: Società Verdi (info@verdi.it)");
    EXPECT_EQ(list.item(1)->text().toStdString(),
              "19/01/2026 04:30 - Notifica inviata a: Cliente 400 (c400@x.it)");
    EXPECT_EQ(list.item(300)->text().mid(16).toStdString(), " - Notifica inviata a: Cliente 101 (c101@x.it)");
    for (int i = 0; i < list.count(); ++i)
        EXPECT_TRUE(list.item(i)->text().mid(19).startsWith("Notifica inviata a: "));
    EXPECT_EQ(imap.flagChanges(), 0);
    EXPECT_EQ(imap.searches(), 1);
    // The 301 lines and the replies among them, rounded up to whole batches of headers.
    EXPECT_LE(imap.headersServed(), 301 + 2 * 31 + ImapInbox::kBatch);
    EXPECT_TRUE(boxes().isEmpty());

    // The list through the menu: the pointer is back, the window shows the same.
    window->mnuCheck_Mail_Click();
    auto* check = window->findChild<frmCheckMail*>();
    ASSERT_TRUE(check);
    EXPECT_EQ(check->windowTitle(), "Controllo E-Mail di notifica");
    EXPECT_EQ(check->lstMailSent()->count(), 301);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);

    // The inbox unreachable: said once, the list empty.
    imap.setSilent(true);
    DisplaySystemMail("s", "t", &list);
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(
        boxes()[0].startsWith("Errore durante la lettura delle Mails di notifica\r\rDettagli:\rIl server di "
                              "posta 127.0.0.1:"));
}

TEST_F(MailNotificationTest, OneListAtATimeAndTheProgramsEndStopsItsReadingAtOnce) {
    // A list open: chosen again, it comes forward and the inbox is not read again.
    window->mnuCheck_Mail_Click();
    QPointer<frmCheckMail> open = window->findChild<frmCheckMail*>();
    ASSERT_TRUE(open);
    open->showMinimized();
    window->mnuCheck_Mail_Click();
    EXPECT_EQ(window->findChildren<frmCheckMail*>().size(), 1);
    EXPECT_FALSE(open->isMinimized());
    EXPECT_EQ(imap.searches(), 1);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
    open->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(open.isNull());

    // A silent inbox: chosen again while it is read, a beep and no second reading; then "Chiudi"
    // ends the program, which stops the reading at once, with no box and no list shown.
    imap.setSilent(true);
    SaveSetting("Zelto Lavrix", "MailAccount", "Timeout", "20");
    QObject::connect(window.get(), &frmMain::unloaded, qApp, &QApplication::quit, Qt::QueuedConnection);
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (imap.connections() < 2) return;
        during.stop();
        window->mnuCheck_Mail_Click();
        window->Unload();
    });
    QTimer::singleShot(0, [&] {
        during.start(20);
        window->mnuCheck_Mail_Click();
    });
    QApplication::exec();
    EXPECT_EQ(prompt->beeps(), 1);
    EXPECT_EQ(imap.connections(), 2);
    EXPECT_TRUE(boxes().isEmpty()) << boxes().join("|").toStdString();
    EXPECT_TRUE(window->findChildren<frmCheckMail*>().isEmpty());
}

TEST_F(MailNotificationTest, AnInboxAnswerThatNeverEndsIsCutAndListsNothing) {
    HostileImapServer hostile(HostileImapServer::Mode::EndlessSearch);
    MailAccount a = MailAccount::Load();
    a.imapPort = hostile.port();
    a.Save();
    QListWidget list;
    DisplaySystemMail("s", "t", &list);
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].startsWith(
        "Errore durante la lettura delle Mails di notifica\r\rDettagli:\rLa risposta del "
        "server di posta 127.0.0.1:" +
        QString::number(hostile.port()) + " supera i 4 MB."))
        << boxes()[0].toStdString();
    EXPECT_LT(hostile.finish(), 64LL * 1024 * 1024);
}

TEST_F(MailNotificationTest, TheAccountWindowRefusesLineBreaks) {
    frmMailAccount dialog(window.get());
    EXPECT_EQ(dialog.txtUser()->text(), "ufficio");
    for (QLineEdit* box : {dialog.txtSmtpServer(), dialog.txtImapServer(), dialog.txtUser(),
                           dialog.txtPassword(), dialog.txtSender()}) {
        const QString kept = box->text();
        box->setText(box->text() + "\r\nA2 DELETE INBOX");
        prompt->clear();
        dialog.cmdOK()->click();
        ASSERT_EQ(boxes().size(), 1);
        EXPECT_TRUE(boxes()[0].startsWith("Il campo \"")) << boxes()[0].toStdString();
        EXPECT_TRUE(boxes()[0].endsWith("\" non può contenere ritorni a capo")) << boxes()[0].toStdString();
        EXPECT_EQ(dialog.focusWidget(), box);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        box->setText(kept);
    }
    // Nothing of it was stored.
    const MailAccount stored = MailAccount::Load();
    EXPECT_EQ(stored.user, "ufficio");
    EXPECT_EQ(stored.password, "segreta");
    EXPECT_EQ(stored.sender, "ufficio@ditta.it");
    prompt->clear();
    dialog.cmdOK()->click();
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(MailNotificationTest, TheAccountWindowShowsItsTextsWhole) {
    frmMailAccount dialog(window.get());
    dialog.show();
    QApplication::processEvents();
    // An address or a server name of some fifty characters, the frame and the margins of its box.
    const QString text = "notifiche.commesse@officina-meccanica-rossi.it";
    int n = 0;
    for (QLineEdit* box :
         {dialog.txtSmtpServer(), dialog.txtImapServer(), dialog.txtUser(), dialog.txtSender()})
        EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(text) + 12) << "box " << ++n;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
}

TEST_F(MailNotificationTest, TheSettingsWindowKeepsTheSevenParameters) {
    auto* settings = frmMailSettings::ShowOver(window.get());
    EXPECT_EQ(settings->windowTitle(), "Impostazioni servizio E-Mail");
    // Nothing stored: the copy is ticked, the defaults shown.
    EXPECT_TRUE(settings->chkUse_MailAdminNotification()->isChecked());
    EXPECT_EQ(settings->maskIntervalSendMail()->text(), "60");
    EXPECT_EQ(settings->maskMaxDayCheck()->text(), "15");
    settings->txtEMailObject()->setText("Commessa chiusa");
    settings->txtEMailText()->setPlainText("Gentile cliente,\nla commessa è pronta.");
    settings->chkUse_MailAdminNotification()->setChecked(false);
    settings->txtAccountAdminName()->setText("Admin");
    settings->txtMailAdminAddress()->setText("admin@ditta.it");
    settings->maskIntervalSendMail()->setText("");
    settings->cmdOK()->click();
    EXPECT_EQ(boxes(), QStringList{"Impostare ogni quanti minuti eseguire il controllo"});
    settings->maskIntervalSendMail()->setText("5");
    settings->cmdOK()->click();

    const MailSettings s = MailSettings::Load();
    EXPECT_EQ(s.subject, "Commessa chiusa");
    EXPECT_EQ(s.text, "Gentile cliente,\r\nla commessa è pronta.");
    EXPECT_EQ(s.useAdminCopy, "0");
    EXPECT_EQ(s.adminName, "Admin");
    EXPECT_EQ(s.adminAddress, "admin@ditta.it");
    EXPECT_EQ(s.intervalMinutes, "5");
    EXPECT_EQ(s.maxDays, "15");

    for (const char* stored : {"1", "True", "0"}) {
        setting("Use_MailAdminNotification", stored);
        frmMailSettings again;
        EXPECT_EQ(again.chkUse_MailAdminNotification()->isChecked(), QString(stored) != "0") << stored;
        EXPECT_EQ(again.txtEMailText()->toPlainText(), "Gentile cliente,\nla commessa è pronta.");
    }
    frmMailSettings ticked;
    ticked.cmdOK()->click();
    EXPECT_EQ(g_objDatabase->GetSetting(g_objConnection, "Use_MailAdminNotification"), "0");
    setting("Use_MailAdminNotification", "True");
    frmMailSettings keep;
    keep.cmdOK()->click();
    EXPECT_EQ(g_objDatabase->GetSetting(g_objConnection, "Use_MailAdminNotification"), "1");
}

TEST_F(MailNotificationTest, TheSettingsWindowGoesWithTheDatabaseItWasReadFrom) {
    setting("EMailObject", "Commessa chiusa");
    QPointer<frmMailSettings> settings = frmMailSettings::ShowOver(window.get());
    ASSERT_EQ(settings->txtEMailObject()->text(), "Commessa chiusa");
    settings->txtEMailObject()->setText("Pronta");

    window->ReleaseDatabase();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Its OK, for as long as it is there to be pressed.
    if (settings) settings->cmdOK()->click();
    EXPECT_TRUE(settings.isNull());

    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    window->Form_Activate();
    ASSERT_TRUE(g_objDatabase);
    EXPECT_EQ(MailSettings::Load().subject, "Commessa chiusa");
    settings = frmMailSettings::ShowOver(window.get());
    settings->txtEMailObject()->setText("Pronta");
    settings->cmdOK()->click();
    EXPECT_EQ(MailSettings::Load().subject, "Pronta");
}

}  // namespace
