// Workers and users: the worker code in card form, the new rows' values, the administrator's rights
// and the password warning.
#include <gtest/gtest.h>

#include "ModelDatabaseTest.h"
#include "odb/DataSet.h"

namespace {

const QString kPasswordWarning =
    QString("ATTENZIONE: Password non impostata.") + "\r\r" +
    "Gli utenti abilitati all'amministrazione devono avere una password di sicurezza." + "\r\r" +
    "Continuare senza ?";

class WorkersUsers : public ModelDatabaseTest {
  protected:
    void SetUp() override {
        ModelDatabaseTest::SetUp();
        open();
        notify.clear();
    }
    // Adds a worker with the code as typed and returns the code stored; with `keep` False the worker
    // goes again, so that the next case may store the same code.
    QString storedCode(const QString& typed, const QString& name, bool keep = false) {
        auto workers = rows("Operai");
        EXPECT_TRUE(workers->AddRow({"Nominativo", name, "Codice", typed}));
        const QString code = storedText("SELECT Codice FROM Operai WHERE Nominativo='" + name + "'");
        if (!keep) {
            EXPECT_TRUE(rows("Operai", "Nominativo='" + name + "'")->DeleteRow());
        }
        return code;
    }
    void setCardPrefix(const Variant& prefix) {
        auto type = rows("TipiCommessa", "Tipologia=9");
        type->SetColValue("PrefissoNumero", prefix);
        ASSERT_TRUE(type->SaveRow());
    }
};

TEST_F(WorkersUsers, CodeIsBroughtToCardForm) {
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"op123", "123"}, {";OP123?", "123"}, {"123", "123"}, {"%OP45_", "45"}, {"OP", "OP"}, {"Op9", "9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(storedCode(c.typed, "Operaio"), c.stored) << c.typed;
    // Changing the code of a stored worker follows the same rule.
    storedCode("45", "Gino", true);
    auto worker = rows("Operai", "Codice='45'");
    worker->SetColValue("Codice", "OP46");
    EXPECT_TRUE(worker->SaveRow());
    EXPECT_EQ(storedText("SELECT Codice FROM Operai WHERE Nominativo='Gino'"), "46");
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
}

TEST_F(WorkersUsers, CodeFollowsTheCardPrefixOfTheInstallation) {
    setCardPrefix("CX");
    EXPECT_EQ(storedCode("cx7", "Anna"), "7");
    EXPECT_EQ(storedCode("OP8", "Bruno"), "OP8");
    // Without a type-9 row there is no prefix: only the sentinels go.
    auto type = rows("TipiCommessa", "Tipologia=9");
    type->SetColValue("Tipologia", 8);
    ASSERT_TRUE(type->SaveRow());
    EXPECT_EQ(storedCode("%456_", "Carla"), "456");
    EXPECT_EQ(storedCode("456x", "Dario"), "456x");
}

// Texts start empty and flags False, not Null, which other computers' rules would read apart.
TEST_F(WorkersUsers, NewRowsStartWithEmptyTextsAndFalseFlags) {
    struct Case {
        const char* table;
        const char* fields;
        Variant value;
    };
    const Case cases[] = {
        {"Operai", "Matricola,Indirizzo,Citta,Provincia,CAP,Telefono,Cellulare", QString("")},
        {"Operai", "Impiegato,AbilitaStraordinari,GestioneAvanzataCommesse", false},
        {"Operai", "Codice,Nominativo,DataNascita,Categoria,Manzione", Variant::null()},
        {"Utenti", "Password", QString("")},
        {"Utenti", "LivelloAccesso", 0},
    };
    for (const Case& c : cases) {
        auto ds = rows(c.table);
        ASSERT_TRUE(ds->NewRow());
        for (const QString& f : QString(c.fields).split(',')) {
            SCOPED_TRACE((QString(c.table) + "." + f).toStdString());
            const Variant v = ds->ColValue(f);
            EXPECT_EQ(v.isNull(), c.value.isNull());
            if (c.value.isString()) {
                EXPECT_TRUE(v.isString() && v.toText().isEmpty()) << v.toText().toStdString();
            } else if (!c.value.isNull()) {
                EXPECT_EQ(v.toDouble(), c.value.toDouble());
            }
        }
        ds->CancelRow();
    }
}

TEST_F(WorkersUsers, UndefinedWorkerKeepsItsNameButNotItsOtherFields) {
    auto undefined = rows("Operai", "Codice=''");
    undefined->SetColValue("Indirizzo", "Via Roma 1");
    undefined->SetColValue("AbilitaStraordinari", true);
    EXPECT_TRUE(undefined->SaveRow());
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
    EXPECT_EQ(rows("Operai", "Codice=''")->ColText("Indirizzo"), "Via Roma 1");
    // A worker that is not the undefined one may be renamed and deleted.
    ASSERT_TRUE(rows("Operai")->AddRow({"Codice", "12", "Nominativo", "Elena"}));
    auto elena = rows("Operai", "Codice='12'");
    elena->SetColValue("Nominativo", "Elena Neri");
    EXPECT_TRUE(elena->SaveRow());
    EXPECT_TRUE(rows("Operai", "Codice='12'")->DeleteRow());
    EXPECT_EQ(count("Operai"), 1);
}

TEST_F(WorkersUsers, AdministrationWithoutPasswordIsQuestioned) {
    struct Case {
        const char* name;
        int level;
        const char* password;
        bool asked;
    };
    const Case cases[] = {
        {"Capo", 1, "", true},
        {"Vice", 1, "segreta", false},
        {"Ospite", 0, "", false},
        {"Officina", -1, "", false},
    };
    for (const Case& c : cases) {
        notify.clear();
        EXPECT_TRUE(
            rows("Utenti")->AddRow({"Nome", c.name, "LivelloAccesso", c.level, "Password", c.password}))
            << c.name;
        EXPECT_EQ(notify.questions, c.asked ? QStringList{kPasswordWarning} : QStringList{}) << c.name;
    }
    // Raising a stored user to administration without a password asks too.
    notify.clear();
    auto operatore = rows("Utenti", "Nome='Operatore'");
    operatore->SetColValue("LivelloAccesso", 1);
    EXPECT_TRUE(operatore->SaveRow());
    EXPECT_EQ(notify.questions, QStringList{kPasswordWarning});
    // The answer Cancel leaves the user as stored.
    notify.clear();
    notify.answerCancel = true;
    auto ospite = rows("Utenti", "Nome='Ospite'");
    ospite->SetColValue("LivelloAccesso", 1);
    EXPECT_FALSE(ospite->SaveRow());
    EXPECT_EQ(notify.questions, QStringList{kPasswordWarning});
    EXPECT_EQ(storedText("SELECT LivelloAccesso FROM Utenti WHERE Nome='Ospite'"), "0");
}

}  // namespace
