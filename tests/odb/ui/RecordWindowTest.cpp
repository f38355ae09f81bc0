// The record and new-row windows on the program's tables: edits written as the field is left, the
// rules' refusals and questions, typed values checked first, lookups, owned collections in nested
// windows, the access levels.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "WindowsFixture.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "odb/ui/FieldEditor.h"
#include "odb/ui/LookupEditor.h"
#include "odb/ui/RecordWindow.h"
#include "odb/ui/RowChooser.h"

using odb::RecordWindow;
using uitest::As;
using uitest::Script;

namespace {

class RecordWindowTest : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        database->SetUserLevel(1);
    }
    // Types `text` into a field's line and leaves it.
    static void type(RecordWindow& w, const QString& field, const QString& text) {
        odb::FieldEditor* e = w.editor(field);
        ASSERT_NE(e, nullptr) << field.toStdString();
        e->line()->setText(text);
        emit e->line()->editingFinished();
    }
    static void choose(RecordWindow& w, const QString& field, const QString& label) {
        QComboBox* box = w.editor(field)->choices();
        box->setCurrentIndex(box->findText(label));
        emit box->activated(box->currentIndex());
    }
    int64_t stored(const QString& sql) { return storedText(sql).toLongLong(); }
};

TEST_F(RecordWindowTest, AnEditTheRulesRefuseLeavesTheWindowOpenOnTheStoredValue) {
    auto users = rows("Utenti");
    ASSERT_TRUE(users->FindRow("Nome='Amministratore'"));
    const QString before = storedText("SELECT group_concat(Nome || LivelloAccesso) FROM Utenti");
    bool stillOpen = false;
    Script script({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        EXPECT_EQ(w.editor("LivelloAccesso")->choices()->currentText(), "Amministrazione");
        // The password is written by the login alone, and never shown in clear.
        EXPECT_TRUE(w.editor("Password")->line()->isReadOnly());
        EXPECT_EQ(w.editor("Password")->line()->echoMode(), QLineEdit::Password);
        type(w, "Nome", "Pippo");
        EXPECT_EQ(notify.messages, QStringList({"Non è possibile modificare l'utente Amministratore"}));
        EXPECT_EQ(w.editor("Nome")->line()->text(), "Amministratore");
        EXPECT_EQ(w.focusedField(), "Nome");
        w.cmdOK()->click();  // nothing was changed: OK stores nothing and closes
        stillOpen = w.result().isEmpty();
        return d.result();
    }});
    auto panel = odb::DataPanelTools::CreatePanel(users);
    EXPECT_TRUE(panel->ShowRow(true, "", true).isEmpty());
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(storedText("SELECT group_concat(Nome || LivelloAccesso) FROM Utenti"), before);
}

TEST_F(RecordWindowTest, ANewAdministratorWithoutPasswordIsAskedAndCancelStoresNothing) {
    notify.answerCancel = true;
    Script script({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        type(w, "Nome", "Mario");
        choose(w, "LivelloAccesso", "Amministrazione");
        w.cmdOK()->click();
        EXPECT_EQ(notify.questions.size(), 1);
        EXPECT_TRUE(notify.questions.value(0).startsWith("ATTENZIONE: Password non impostata."));
        EXPECT_TRUE(notify.questions.value(0).endsWith("Continuare senza ?"));
        EXPECT_EQ(d.result(), QDialog::Rejected);  // still open
        w.cmdCancel()->click();
        return d.result();
    }});
    auto panel = odb::DataPanelTools::CreatePanel(rows("Utenti"));
    EXPECT_TRUE(panel->NewRow({}).isEmpty());
    EXPECT_EQ(count("Utenti"), 2);

    // Answered OK, the user is stored and the window gives its bookmark.
    notify.answerCancel = false;
    Script again({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        type(w, "Nome", "Mario");
        choose(w, "LivelloAccesso", "Amministrazione");
        w.cmdOK()->click();
        return d.result();
    }});
    const Variant added = panel->NewRow({});
    ASSERT_FALSE(added.isEmpty());
    EXPECT_EQ(storedText("SELECT LivelloAccesso FROM Utenti WHERE OID=" + added.toText()), "1");
}

TEST_F(RecordWindowTest, ANewServiceOrderGivesItsFieldsTheHeightBeforeItsSteps) {
    Script script({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        w.show();
        QCoreApplication::processEvents();
        odb::LookupEditor* last = w.lookup("TipoAssistenza");
        auto* scroll = w.findChild<QScrollArea*>();
        EXPECT_TRUE(last && scroll && w.findChild<QTabWidget*>());
        if (!last || !scroll) return int(QDialog::Rejected);
        // The fields take the height they need before the lists take any: every label and editor
        // lies wholly in the part of the window shown, unless the screen leaves the lists no more
        // than their least height (then the fields scroll).
        const QRect shown = scroll->viewport()->rect();
        QStringList hidden;
        for (QWidget* field : scroll->widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const auto* label = qobject_cast<QLabel*>(field);
            if (!shown.contains(QRect(field->mapTo(scroll->viewport(), QPoint(0, 0)), field->size())))
                hidden << (label ? label->text() : field->objectName());
        }
        const auto* lists = w.findChild<QTabWidget*>();
        EXPECT_TRUE(hidden.isEmpty() || lists->height() <= lists->minimumSizeHint().height())
            << hidden.join(QLatin1Char(',')).toStdString();
        w.cmdCancel()->click();
        return d.result();
    }});
    EXPECT_TRUE(odb::DataPanelTools::CreatePanel(rows("CommesseAssistenza"))->NewRow({}).isEmpty());
    EXPECT_TRUE(script.done());
}

TEST_F(RecordWindowTest, AJobOrderWindowWithNoOwnerFitsItsScreenWithItsButtonsInSight) {
    for (const QString table : {"CommesseCliente", "CommesseAssistenza"}) {
        SCOPED_TRACE(table.toStdString());
        Script script({[&](QDialog& d) {
            auto& w = As<RecordWindow>(d);
            w.show();
            QCoreApplication::processEvents();
            const QRect screen = w.screen()->availableGeometry();
            EXPECT_LE(w.width(), screen.width());
            EXPECT_LE(w.height(), screen.height());
            for (QPushButton* button : {w.cmdOK(), w.cmdCancel()})
                EXPECT_TRUE(screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
                    << button->text().toStdString();
            w.cmdCancel()->click();
            return d.result();
        }});
        EXPECT_TRUE(odb::DataPanelTools::CreatePanel(rows(table))->NewRow({}).isEmpty());
        EXPECT_TRUE(script.done());
    }
}

TEST_F(RecordWindowTest, EnterInAFieldIsOKWithOrWithoutListsOfRows) {
    // A customer has no lists; a job order has two, each with its "Nuovo..." button.
    struct Case {
        const char* table;
        const char* field;
        const char* typed;
    };
    for (const Case& c : {Case{"Clienti", "Descrizione", "Invio"},
                          Case{"CommesseCliente", "DataConsegnaConcordata", "01/04/2026"}}) {
        SCOPED_TRACE(c.table);
        Script script({[&](QDialog& d) {
            auto& w = As<RecordWindow>(d);
            w.show();
            QCoreApplication::processEvents();
            for (const QString list : {"Attrezzature", "Macchine"}) {
                const auto* rows = w.collection(list);
                for (const QPushButton* b : rows ? std::vector{rows->cmdNew, rows->cmdOpen, rows->cmdDelete}
                                                 : std::vector<QPushButton*>{}) {
                    EXPECT_FALSE(b->isDefault()) << b->text().toStdString();
                }
            }
            QLineEdit* line = w.editor(c.field)->line();
            line->setFocus();
            QTest::keyClicks(line, c.typed);
            QTest::keyClick(line, Qt::Key_Return);
            return d.result();
        }});
        auto dataSet = rows(c.table);
        EXPECT_FALSE(odb::DataPanelTools::CreatePanel(dataSet)->NewRow({}).isEmpty());
        EXPECT_EQ(script.opened, QStringList{"RecordWindow"});
        EXPECT_EQ(dataSet->ColText(c.field).toStdString(), c.typed);
    }
}

TEST_F(RecordWindowTest, EnterOnAFocusedButtonPressesThatButton) {
    // "Annulla" on a new customer with a name typed: nothing is stored.
    Script cancel({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        w.show();
        QApplication::setActiveWindow(&w);
        type(w, "Descrizione", "Mai salvato");
        w.cmdCancel()->setFocus();
        QTest::keyClick(w.cmdCancel(), Qt::Key_Return);
        return d.result();
    }});
    EXPECT_TRUE(odb::DataPanelTools::CreatePanel(rows("Clienti"))->NewRow({}).isEmpty());
    EXPECT_EQ(storedText("SELECT count(*) FROM Clienti WHERE Descrizione = 'Mai salvato'"), "0");
    // A job order's list buttons: "Apri..." opens the detail, "Elimina" asks; the job order's
    // window stays open through both, and its fields' Enter is still OK.
    auto order = addCustomerOrder();
    addToolingDetail(*order, "", 2);
    notify.answerCancel = true;
    Script lists({[&](QDialog& d) {
                      auto& w = As<RecordWindow>(d);
                      w.show();
                      QApplication::setActiveWindow(&w);
                      const auto* details = w.collection("Attrezzature");
                      for (QPushButton* b : {details->cmdOpen, details->cmdDelete}) {
                          b->setFocus();
                          QTest::keyClick(b, Qt::Key_Return);
                          EXPECT_TRUE(w.isVisible()) << b->text().toStdString();
                          EXPECT_EQ(d.result(), 0) << b->text().toStdString();
                      }
                      QLineEdit* line = w.editor("DataConsegnaConcordata")->line();
                      line->setFocus();
                      QTest::keyClicks(line, "01/04/2026");
                      QTest::keyClick(line, Qt::Key_Return);
                      return d.result();
                  },
                  [&](QDialog& d) {
                      EXPECT_EQ(As<RecordWindow>(d).editor("NumeroCommessa")->line()->text().right(4),
                                "/001");
                      return int(QDialog::Rejected);
                  }});
    EXPECT_FALSE(odb::DataPanelTools::CreatePanel(order)->ShowRow(true, "", true).isEmpty());
    EXPECT_EQ(lists.opened, QStringList({"RecordWindow", "RecordWindow"}));
    EXPECT_EQ(notify.questions.join("|").toStdString(), "Confermi l'eliminazione dei dati selezionati ?");
    EXPECT_EQ(storedText("SELECT count(*) FROM DettagliAttrezzature"), "1");
    EXPECT_EQ(storedText("SELECT DataConsegnaConcordata FROM CommesseCliente").toDouble(),
              MakeOleDate(2026, 4, 1));
}

TEST_F(RecordWindowTest, TextsThatDoNotReadAsTheFieldsTypeAreRefusedBeforeAnyWrite) {
    auto order = addCustomerOrder();
    Script script({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        struct Case {
            const char* field;
            const char* text;
            const char* shown;
        };
        for (const Case& c : {Case{"DataConsegnaConcordata", "31/02/2024", ""},
                              Case{"DataConsegnaConcordata", "29/02/2024", "29/02/2024"},
                              Case{"DataInserimento", "ieri", "02/03/2026 07:00"}}) {
            type(w, c.field, c.text);
            EXPECT_EQ(w.editor(c.field)->line()->text(), c.shown) << c.text;
        }
        EXPECT_EQ(notify.messages.size(), 2);
        EXPECT_EQ(notify.messages.value(0),
                  "Il valore inserito nel campo 'Data Consegna Concordata' non è valido: "
                  "scrivere una data esistente come gg/mm/aaaa");
        EXPECT_EQ(w.focusedField(), "DataInserimento");
        // Computed by the rules: shown, never typed.
        EXPECT_TRUE(w.editor("Progressivo")->line()->isReadOnly());
        EXPECT_EQ(w.editor("Progressivo")->line()->text(), "0001");
        w.cmdOK()->click();
        return d.result();
    }});
    EXPECT_FALSE(odb::DataPanelTools::CreatePanel(order)->ShowRow(true, "", true).isEmpty());
    EXPECT_EQ(storedText("SELECT DataConsegnaConcordata FROM CommesseCliente").toDouble(),
              MakeOleDate(2024, 2, 29));
}

TEST_F(RecordWindowTest, AChildAddedThroughItsListJoinsTheOwnerWhoseTotalsFollow) {
    addCustomer("Rossi Srl", false);
    addToolingPart("Stampo", 100);
    auto order = addCustomerOrder();
    Script script({
        [&](QDialog& d) {
            auto& w = As<RecordWindow>(d);
            // The customer, chosen among the target's rows (the chooser is the next step).
            w.lookup("Cliente")->choose()->click();
            EXPECT_EQ(w.lookup("Cliente")->line()->text(), "Rossi Srl");
            w.collection("Attrezzature")->cmdNew->click();
            EXPECT_EQ(w.editor("CostoTotaleListinoAttrezzature")->line()->text(), "200,00 €");
            EXPECT_EQ(w.collection("Attrezzature")->rows->RowCount(), 1);
            EXPECT_EQ(w.collection("Attrezzature")->grid->gridModel()->text(0, 2), "Stampo");
            w.cmdOK()->click();
            return d.result();
        },
        [&](QDialog& d) {
            auto& c = As<odb::RowChooser>(d);
            EXPECT_TRUE(c.typeAhead("ros"));
            c.cmdOK()->click();
            return d.result();
        },
        [&](QDialog& d) {
            auto& child = As<RecordWindow>(d);
            EXPECT_EQ(child.editor("NumeroCommessa")->line()->text().right(4), "/001");
            child.lookup("Particolare")->choose()->click();
            type(child, "Quantità", "2");
            child.cmdOK()->click();
            return d.result();
        },
        [&](QDialog& d) {
            auto& c = As<odb::RowChooser>(d);
            c.grid()->selectRow(0);
            c.cmdOK()->click();
            return d.result();
        },
    });
    EXPECT_FALSE(odb::DataPanelTools::CreatePanel(order)->ShowRow(true, "", true).isEmpty());
    EXPECT_TRUE(script.done());
    EXPECT_EQ(script.opened, QStringList({"RecordWindow", "RowChooser", "RecordWindow", "RowChooser"}));
    EXPECT_EQ(storedText("SELECT CostoTotaleListinoAttrezzature FROM CommesseCliente"), "2000000");
    EXPECT_EQ(orderRow(1)->GetReference("Cliente")->ColText("Descrizione"), "Rossi Srl");
}

TEST_F(RecordWindowTest, ANewSharedBaseChildPicksItsBaseRowFirst) {
    addMachine("M1", 1000);
    ASSERT_TRUE(rows("MagazzinoPartCommerciale")
                    ->AddRow({"Descrizione", "Vite M6", "PrezzoUnitario", Currency::fromLong(2)}));
    const int64_t parts = count("MagazzinoPartCommerciale");
    auto machine = machineRow("M1");
    Script script({
        [&](QDialog& d) {
            As<RecordWindow>(d).collection("ParticolariCommerciale")->cmdNew->click();
            EXPECT_EQ(As<RecordWindow>(d).collection("ParticolariCommerciale")->rows->RowCount(), 1);
            As<RecordWindow>(d).cmdOK()->click();
            return d.result();
        },
        [&](QDialog& d) {
            auto& c = As<odb::RowChooser>(d);
            EXPECT_EQ(c.windowTitle(), "Selezione - Magazzino Particolari Commerciale");
            EXPECT_TRUE(c.typeAhead("vite"));
            c.cmdOK()->click();
            return d.result();
        },
        [&](QDialog& d) {
            auto& child = As<RecordWindow>(d);
            // The picked part's own fields, read through the child.
            EXPECT_EQ(child.editor("Descrizione")->line()->text(), "Vite M6");
            type(child, "QuantitàNecessaria", "10");
            child.cmdOK()->click();
            return d.result();
        },
    });
    EXPECT_FALSE(odb::DataPanelTools::CreatePanel(machine)->ShowRow(true, "", true).isEmpty());
    EXPECT_TRUE(script.done());
    EXPECT_EQ(count("MagazzinoPartCommerciale"), parts);  // no second part
    auto needs = machineRow("M1")->GetReference("ParticolariCommerciale");
    ASSERT_EQ(needs->RowCount(), 1);
    EXPECT_EQ(needs->ColText("Descrizione"), "Vite M6");
    EXPECT_EQ(needs->ColNumber("QuantitàNecessaria"), 10);
}

TEST_F(RecordWindowTest, WindowsCloseAsCancelWhenTheirConnectionClosesUnderThem) {
    addCustomer("Rossi Srl", false);
    auto order = addCustomerOrder();
    // Each dialog opened says whether it was cancelled.
    QStringList cancelled;
    auto watch = [&](QDialog& d) {
        QObject::connect(&d, &QDialog::rejected, [&cancelled, name = d.objectName()] { cancelled << name; });
    };
    Script script({
        [&](QDialog& d) {
            watch(d);
            type(As<RecordWindow>(d), "DataConsegnaConcordata", "15/04/2026");
            As<RecordWindow>(d).collection("Attrezzature")->cmdNew->click();
            return d.result();
        },
        [&](QDialog& d) {
            watch(d);
            // The file is let go under a child's window and its owner's.
            connection->CloseConnection();
            return d.result();
        },
    });
    EXPECT_TRUE(odb::DataPanelTools::CreatePanel(order)->ShowRow(true, "", true).isEmpty());
    EXPECT_TRUE(script.done());
    EXPECT_EQ(script.opened, QStringList({"RecordWindow", "RecordWindow"}));
    EXPECT_EQ(cancelled.size(), 2);

    // Under a chooser of the record window.
    reopen();
    database->SetUserLevel(1);
    cancelled.clear();
    Script choosing({
        [&](QDialog& d) {
            watch(d);
            As<RecordWindow>(d).lookup("Cliente")->choose()->click();
            return d.result();
        },
        [&](QDialog& d) {
            watch(d);
            connection->CloseConnection();
            return d.result();
        },
    });
    EXPECT_TRUE(odb::DataPanelTools::CreatePanel(orderRow(1))->ShowRow(true, "", true).isEmpty());
    EXPECT_TRUE(choosing.done());
    EXPECT_EQ(cancelled, QStringList({"RecordWindow", "RowChooser"}));
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();

    // Nothing the windows held was stored, and nothing stored was lost.
    reopen();
    EXPECT_EQ(count("CommesseCliente"), 1);
    EXPECT_EQ(storedText("SELECT count(*) FROM CommesseCliente WHERE DataConsegnaConcordata IS NULL"), "1");
    EXPECT_EQ(count("DettagliCommesse"), 0);
}

TEST_F(RecordWindowTest, RebuildReferenceGivesASpoiltTotalItsStepsSumBack) {
    auto detail = addDetail("0001/001");
    closedStep(*detail, 8 * 60, 9 * 60);
    closedStep(*detail, 10 * 60, 10 * 60 + 30);
    ASSERT_EQ(detailRow("0001/001")->ColNumber("TempoImpiegato"), 90);
    close();
    rawSql("UPDATE DettagliCommesse SET TempoImpiegato = 7");
    open();
    auto spoilt = detailRow("0001/001");
    ASSERT_EQ(spoilt->ColNumber("TempoImpiegato"), 7);
    auto& table = spoilt->GetTable();
    for (int i = 1; i <= table.OwnReferenceDefs().Count(); ++i)
        if (table.Reference(i).IsRebuildable()) {
            EXPECT_TRUE(spoilt->RebuildReference(table.Reference(i).Name()));
        }
    EXPECT_EQ(storedText("SELECT TempoImpiegato FROM DettagliCommesse"), "90");
}

TEST_F(RecordWindowTest, TheQueryLevelOnlyShowsAndJobOrdersOnlyNarrowsIdentityFields) {
    auto users = rows("Utenti");
    users->FindRow("Nome='Operatore'");
    database->SetUserLevel(0);
    Script script({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        EXPECT_EQ(w.cmdOK(), nullptr);
        EXPECT_EQ(w.cmdCancel()->text(), "Chiudi");
        EXPECT_TRUE(w.editor("Nome")->line()->isReadOnly());
        EXPECT_FALSE(w.editor("LivelloAccesso")->choices()->isEnabled());
        w.cmdCancel()->click();
        return d.result();
    }});
    auto panel = odb::DataPanelTools::CreatePanel(users);
    EXPECT_TRUE(panel->ShowRow(true, "", true).isEmpty());
    EXPECT_TRUE(panel->NewRow({}).isEmpty());
    EXPECT_EQ(notify.messages.value(0), "Il livello di accesso non consente di aggiungere dati.");
    EXPECT_FALSE(users->DeleteAllowed());

    database->SetUserLevel(-1);
    Script narrowed({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        EXPECT_NE(w.cmdOK(), nullptr);
        EXPECT_TRUE(w.editor("Nome")->line()->isReadOnly());
        EXPECT_FALSE(w.editor("LivelloAccesso")->choices()->isEnabled());
        w.cmdCancel()->click();
        return d.result();
    }});
    EXPECT_TRUE(panel->ShowRow(true, "", true).isEmpty());
    EXPECT_FALSE(users->DeleteAllowed());
    database->SetUserLevel(1);
    EXPECT_TRUE(users->DeleteAllowed());
}

TEST_F(RecordWindowTest, FileLinksAreChosenThroughThePromptService) {
    ScopedRecordingPrompt prompt;
    prompt->answerPath(path("disegno.png"));
    ASSERT_TRUE(rows("ParticolariAttrezzature")->AddRow({"Descrizione", "Stampo"}));
    auto parts = rows("ParticolariAttrezzature");
    Script script({[&](QDialog& d) {
        auto& w = As<RecordWindow>(d);
        w.editor("Immagine")->browse()->click();
        EXPECT_EQ(w.editor("Immagine")->line()->text(), path("disegno.png"));
        w.cmdOK()->click();
        return d.result();
    }});
    EXPECT_FALSE(odb::DataPanelTools::CreatePanel(parts)->ShowRow(true, "", true).isEmpty());
    EXPECT_EQ(prompt->last().kind, RecordingPrompt::Kind::OpenFile);
    EXPECT_EQ(prompt->last().title, "Scegli il file");
    EXPECT_EQ(parts->ColFilePath("Immagine"), path("disegno.png"));
}

}  // namespace
