// The command panel: its caption, keys, pointer and flags, and attendance registrations: which
// field a press fills at which time, the sequence and overtime rules, and what each one says.
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include "TerminalFixture.h"
#include "odb/DbmsGlobal.h"
#include "startup/SharedState.h"
#include "terminal/frmCommandPanel.h"

namespace {

const QString kCR = QStringLiteral("\r");

class Attendance : public TerminalFixture {
  protected:
    frmCommandPanel* panel() {
        if (!frmCommandPanel::Get()) frmCommandPanel::ShowOver(&mainWindow);
        return frmCommandPanel::Get();
    }
    // The worker passes his card and presses the key of `kind` (5 to 8) at the time given.
    void badge(const char* card, int key, int hour, int minute, int second = 0) {
        at(hour, minute, second);
        cards.push_back(QString::fromLatin1(card));
        type(QString::number(key), panel());
    }
    // The worker's row of the test day: "field=hh:mm:ss" for each time it holds.
    QStringList day(const QString& code) {
        auto row = rows("Ingressi", "Operaio.Codice='" + code + "'");
        QStringList out;
        if (row->DataEmpty()) return out;
        for (const char* f : {"OraEntrataMattino", "OraUscitaMattino", "OraEntrataPomeriggio",
                              "OraUscitaPomeriggio", "OraEntrataExtra", "OraUscitaExtra"})
            if (!row->ColIsNull(f)) out << QString(f) + "=" + row->ColValue(f).toText();
        return out;
    }
    static bool pointerHidden() {
        return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BlankCursor;
    }
    QWidget mainWindow;
};

TEST_F(Attendance, ThePanelAnswersItsKeysAndClosesToTheMainWindow) {
    EXPECT_EQ(panel()->windowTitle(),
              "Comandi della Postazione Lavoro  (Operatore  su  " + odb::DbmsGlobal::ComputerName() + ")");
    EXPECT_TRUE(g_blnCommandPanelActive);
    EXPECT_TRUE(pointerHidden());
    EXPECT_EQ(panel()->Button(0)->text(), "&0. Gestisci");
    panel()->SetStatusMsg("Pronto");
    EXPECT_EQ(panel()->StatusMsg(), "Pronto");

    // "9" and letters press nothing; "5" reads a card.
    QKeyEvent nine(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, "9");
    QCoreApplication::sendEvent(panel(), &nine);
    type("a", panel());
    EXPECT_EQ(cardReads, 0);
    type("5", panel());  // no card typed: the read is cancelled with Esc, nothing is said
    EXPECT_EQ(cardReads, 1);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(count("Ingressi"), 0);

    press(Qt::Key_Escape, panel());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmCommandPanel::Get(), nullptr);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_TRUE(g_blnCommandPanelClosed);
    EXPECT_FALSE(g_blnCommandPanelActive);
    EXPECT_TRUE(g_strCurrentUser.isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The administrator keeps his pointer; an error shows it again for the others.
    g_strCurrentUser = "Amministratore";
    panel();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    panel()->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_strCurrentUser = "Operatore";
    panel();
    EXPECT_TRUE(pointerHidden());
    close();
    type("6", panel());
    const QStringList shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].endsWith("Visualizzare dettagli ?"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    open();
}

TEST_F(Attendance, TheHalfDayBoundariesChooseTheField) {
    badge("OP0012", 5, 12, 59, 30);
    EXPECT_EQ(day("0012"), QStringList{"OraEntrataMattino=12:59:30"});
    EXPECT_EQ(boxes(), QStringList{"< ENTRATA >" + kCR + kCR + "Operazione registrata."});
    badge("OP0013", 5, 13, 0);
    EXPECT_EQ(day("0013"), QStringList{"OraEntrataPomeriggio=13:00:00"});
    badge("OP0012", 6, 13, 59);
    EXPECT_EQ(day("0012"), QStringList({"OraEntrataMattino=12:59:30", "OraUscitaMattino=13:59:00"}));
    badge("OP0013", 6, 14, 0);
    EXPECT_EQ(day("0013"), QStringList({"OraEntrataPomeriggio=13:00:00", "OraUscitaPomeriggio=14:00:00"}));
    EXPECT_EQ(boxes(), QStringList({"< ENTRATA >" + kCR + kCR + "Operazione registrata.",
                                    "< USCITA >" + kCR + kCR + "Operazione registrata.",
                                    "< USCITA >" + kCR + kCR + "Operazione registrata."}));
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

TEST_F(Attendance, SequenceAndOvertimeRules) {
    const QString done = kCR + kCR + "Operazione registrata.",
                  order =
                      "L'impostazione degli orari non è valida, "
                      "verificare nel pannello di configurazione orari di accesso.";
    struct Press {
        int key, hour, minute;
    };
    struct Case {
        const char* name;
        bool overtime;
        std::vector<Press> presses;  // the last one is the press under test
        QStringList said, stored;
        QString refused = {};  // the table rules' text, shown once
    };
    // clang-format off
    const Case cases[] = {
        {"exit after the end of the day", false, {{5, 14, 5}, {6, 17, 30}},
         {"Utente non abilitato agli straordinari." + kCR + kCR + "L'orario di uscita registrato: 16:50:00", "< USCITA >" + done},
         {"OraEntrataPomeriggio=14:05:00", "OraUscitaPomeriggio=16:50:00"}},
        {"the same with overtime", true, {{5, 14, 5}, {6, 17, 30}}, {"< USCITA >" + done},
         {"OraEntrataPomeriggio=14:05:00", "OraUscitaPomeriggio=17:30:00"}},
        {"second entry", false, {{5, 7, 45}, {5, 8, 10}},
         {"L' ENTRATA è già stata registrata." + kCR + kCR + "Ora: 07:45"}, {"OraEntrataMattino=07:45:00"}},
        {"afternoon entry, no morning exit", false, {{5, 7, 45}, {5, 14, 5}},
         {"Impossibile registrare l'ingresso pomeridiano." + kCR + kCR + "Uscita mattutina non effettuata"},
         {"OraEntrataMattino=07:45:00"}},
        {"exit without entry", false, {{6, 12, 0}},
         {"Impossibile registrare l'uscita mattutina." + kCR + kCR + "L'ingresso non risulta ancora effettuato"}, {}},
        {"extra entry first", false, {{5, 7, 45}, {7, 10, 0}},
         {"Impossibile registrare l'entrata extra." + kCR + kCR + "L' uscita extra non risulta ancora effettuata"},
         {"OraEntrataMattino=07:45:00"}},
        {"extra exit after the regular one", false, {{5, 7, 45}, {6, 11, 0}, {8, 11, 30}},
         {"Impossibile registrare l'uscita extra." + kCR + kCR + "E' già stata effettuata l'uscita regolare."},
         {"OraEntrataMattino=07:45:00", "OraUscitaMattino=11:00:00"}},
        {"extra exit and return", false, {{5, 7, 45}, {8, 10, 0}, {7, 10, 30}}, {"< ENTRATA EXTRA >" + done},
         {"OraEntrataMattino=07:45:00", "OraEntrataExtra=10:30:00", "OraUscitaExtra=10:00:00"}},
        {"first entry after the end of the day, with overtime", true, {{5, 17, 30}}, {}, {}, order},
        {"exit before the afternoon entry", false, {{5, 15, 0}, {6, 14, 30}}, {}, {"OraEntrataPomeriggio=15:00:00"}, order},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(rows("Ingressi")->DeleteRows());
        ASSERT_TRUE(setAndSave(*rows("Operai", "Codice='0012'"), "AbilitaStraordinari", c.overtime));
        for (const Press& p : c.presses) {
            boxes();
            notify.clear();
            badge("OP0012", p.key, p.hour, p.minute);
        }
        EXPECT_EQ(boxes(), c.said);
        EXPECT_EQ(day("0012"), c.stored);
        EXPECT_EQ(count("Ingressi"), c.stored.isEmpty() ? 0 : 1);
        EXPECT_EQ(notify.messages, c.refused.isEmpty() ? QStringList() : QStringList{c.refused});
    }
}

TEST_F(Attendance, UnknownCardsAndUnsetHoursStoreNothing) {
    badge("OP9999", 5, 8, 0);
    EXPECT_EQ(boxes(), QStringList{"L'Operaio con codice < 9999 > non è presente in archivio..."});
    // A boundary with no time set: said, and the press stores nothing.
    g_dtmOraPredefinitaUscitaMattino = 0;
    badge("OP0012", 5, 8, 0);
    EXPECT_EQ(boxes(), QStringList{"Impostazione degli orari non valida."});
    EXPECT_EQ(count("Ingressi"), 0);
}

}  // namespace
