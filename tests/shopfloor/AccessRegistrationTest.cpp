// The attendance command on its own: the working hours and the clock of its context, what it says
// in its order among the library's own messages, and what it stores.
#include <gtest/gtest.h>

#include "ShopFloorFixture.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "model/ModelState.h"
#include "shopfloor/AccessRegistration.h"

namespace {

using Outcome = AccessRegistration::Outcome;
const QString kCR = QStringLiteral("\r");

class AccessRegistrationTest : public ShopFloorFixture {
  protected:
    void SetUp() override {
        ShopFloorFixture::SetUp();
        // What the table rules read; the command reads its context's hours only.
        g_dtmOraPredefinitaEntrataMattino = DefaultOraEntrataMattino();
        g_dtmOraPredefinitaUscitaMattino = DefaultOraUscitaMattino();
        g_dtmOraPredefinitaEntrataPomeriggio = DefaultOraEntrataPomeriggio();
        g_dtmOraPredefinitaUscitaPomeriggio = DefaultOraUscitaPomeriggio();
        g_intTotMinGiornataLavorativa = 490;
    }
    QStringList day(const QString& code) {
        auto row = rows("Ingressi", "Operaio.Codice='" + code + "'");
        QStringList out;
        if (row->DataEmpty()) return out;
        for (const char* f : {"OraEntrataMattino", "OraUscitaMattino", "OraEntrataPomeriggio",
                              "OraUscitaPomeriggio", "OraEntrataExtra", "OraUscitaExtra"})
            if (!row->ColIsNull(f)) out << QString(f) + "=" + row->ColValue(f).toText();
        return out;
    }
    static WorkingHours withEndOfDay(int hour, int minute) {
        WorkingHours h = normalHours();
        h.afternoonExit = MakeOleTime(hour, minute, 0);
        return h;
    }
};

TEST_F(AccessRegistrationTest, TheContextsHoursAndWhatItSaysInOrder) {
    using K = AccessRegistration::Kind;
    const QString done = kCR + kCR + "Operazione registrata.";
    WorkingHours noAfternoon = normalHours();
    noAfternoon.afternoonEntry = 0;
    struct Press {
        int kind, hour, minute;
        WorkingHours hours = normalHours();
    };
    struct Case {
        const char* name;
        std::vector<Press> presses;  // the last one is the press under test
        Outcome outcome;
        QStringList said;  // told and the library's messages, in order
        QStringList stored;
    };
    // clang-format off
    const Case cases[] = {
        {"a morning entry", {{K::Entry, 7, 45}}, Outcome::Registered, {"i < ENTRATA >" + done},
         {"OraEntrataMattino=07:45:00"}},
        {"the end of the day of the context caps the exit", {{K::Entry, 14, 5}, {K::Exit, 16, 30, withEndOfDay(16, 0)}},
         Outcome::Registered,
         {"! Utente non abilitato agli straordinari." + kCR + kCR + "L'orario di uscita registrato: 16:00:00",
          "i < USCITA >" + done},
         {"OraEntrataPomeriggio=14:05:00", "OraUscitaPomeriggio=16:00:00"}},
        {"an unset boundary, then the sequence", {{K::Exit, 12, 0, noAfternoon}}, Outcome::NotStored,
         {"x Impostazione degli orari non valida.",
          "! Impossibile registrare l'uscita pomeridiana." + kCR + kCR + "L'ingresso non risulta ancora effettuato"},
         {}},
        {"the cap is said before the rules refuse the time", {{K::Entry, 7, 45}, {K::Exit, 13, 30, withEndOfDay(7, 0)}},
         Outcome::Refused,
         {"! Utente non abilitato agli straordinari." + kCR + kCR + "L'orario di uscita registrato: 07:00:00",
          "L'impostazione degli orari non è valida, verificare nel pannello di configurazione orari di accesso."},
         {"OraEntrataMattino=07:45:00"}},
        {"a second entry", {{K::Entry, 7, 45}, {K::Entry, 8, 10}}, Outcome::NotStored,
         {"! L' ENTRATA è già stata registrata." + kCR + kCR + "Ora: 07:45"}, {"OraEntrataMattino=07:45:00"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(rows("Ingressi")->DeleteRows());
        Outcome outcome = Outcome::NotStored;
        for (const Press& p : c.presses) {
            notify.clear();
            at(p.hour, p.minute);
            outcome = AccessRegistration::Register(context("0012", p.hours), p.kind);
        }
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(notify.messages, c.said);
        EXPECT_EQ(day("0012"), c.stored);
    }
}

TEST_F(AccessRegistrationTest, TheTimeIsTheContextsClock) {
    at(8, 0);
    ShopFloorContext c = context("0013");
    c.now = [] { return MakeOleDate(2026, 3, 2, 7, 52, 10); };
    EXPECT_EQ(AccessRegistration::Register(c, AccessRegistration::Entry), Outcome::Registered);
    EXPECT_EQ(day("0013"), QStringList{"OraEntrataMattino=07:52:10"});
}

TEST_F(AccessRegistrationTest, ABadgeSeesTheWorkerAndHisDayAsAnotherComputerLeftThem) {
    using K = AccessRegistration::Kind;
    at(7, 45);
    ASSERT_EQ(AccessRegistration::Register(context("0012"), K::Entry), Outcome::Registered);
    ASSERT_EQ(AccessRegistration::Register(context("0013"), K::Entry), Outcome::Registered);
    // Another computer gives worker 0012 a new code: the old card is unknown, the new one finds
    // his day, not the other worker's.
    rawSql("UPDATE Operai SET Codice='0099' WHERE Codice='0012'");
    notify.clear();
    at(8, 10);
    EXPECT_EQ(AccessRegistration::Register(context("0012"), K::Entry), Outcome::NotStored);
    EXPECT_EQ(AccessRegistration::Register(context("0099"), K::Entry), Outcome::NotStored);
    EXPECT_EQ(notify.messages,
              QStringList({"! L'Operaio con codice < 0012 > non è presente in archivio...",
                           "! L' ENTRATA è già stata registrata." + kCR + kCR + "Ora: 07:45"}));
    // It then removes his day: the next badge starts a day of his own. Allowed overtime there
    // too, his exit after the end of the day is not capped.
    rawSql("DELETE FROM Ingressi WHERE Operaio=(SELECT OID FROM Operai WHERE Codice='0099')");
    notify.clear();
    at(14, 5);
    EXPECT_EQ(AccessRegistration::Register(context("0099"), K::Entry), Outcome::Registered);
    rawSql("UPDATE Operai SET AbilitaStraordinari=1 WHERE Codice='0099'");
    at(17, 30);
    EXPECT_EQ(AccessRegistration::Register(context("0099", withEndOfDay(16, 0)), K::Exit),
              Outcome::Registered);
    EXPECT_EQ(notify.messages, QStringList({"i < ENTRATA >" + kCR + kCR + "Operazione registrata.",
                                            "i < USCITA >" + kCR + kCR + "Operazione registrata."}));
    EXPECT_EQ(day("0099"), QStringList({"OraEntrataPomeriggio=14:05:00", "OraUscitaPomeriggio=17:30:00"}));
    EXPECT_EQ(day("0013"), QStringList{"OraEntrataMattino=07:45:00"});
    EXPECT_EQ(count("Ingressi"), 2);
}

TEST_F(AccessRegistrationTest, UnknownWorkersAndUnknownKindsStoreNothing) {
    at(8, 0);
    EXPECT_EQ(AccessRegistration::Register(context("9999"), AccessRegistration::Entry), Outcome::NotStored);
    EXPECT_EQ(notify.messages, QStringList{"! L'Operaio con codice < 9999 > non è presente in archivio..."});
    notify.clear();
    try {
        AccessRegistration::Register(context("0012"), 4);
        ADD_FAILURE() << "a kind out of range was registered";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.description().endsWith("Tipo di accesso non impostato. Contattare il supporto"))
            << e.description().toStdString();
    }
    EXPECT_TRUE(notify.messages.isEmpty());
    EXPECT_EQ(count("Ingressi"), 0);
}

}  // namespace
