// The report layout editor on the program's database: the source and group lists, a new profile's
// values and script, the questions of saving, overwriting, deleting and leaving, the search in the
// script, and the test print and preview from values not saved.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <system_error>

#include "ReportRunFixture.h"
#include "labels/LayoutExportFile.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/RowChooser.h"
#include "platform/DrawSurface.h"
#include "platform/PrinterRegistry.h"
#include "reports/ReportScriptTemplates.h"
#include "reports/frmCustomReportPreview.h"
#include "reports/frmCustomReportSetting.h"
#include "startup/AppScriptServices.h"
#include "support/ModalScript.h"
#include "support/PipeWatchdog.h"
#include "support/RefusedFiles.h"
#include "vbs/ScriptHost.h"

// Texts read whole in the failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kModified = QStringLiteral("Il profilo è stato modificato...\r\rVuoi salvare le modifiche ?");

class ReportSettingTest : public ReportRunTest {
  protected:
    void TearDown() override {
        delete frmCustomReportSetting::Instance();
        ReportRunTest::TearDown();
    }

    frmCustomReportSetting& open(const QString& list, const QString& groups = {}, bool notes = false) {
        w = frmCustomReportSetting::EditSetting(&owner, g_objDatabase, g_objConnection, list, false, notes,
                                                groups);
        return *w;
    }
    template <class T>
    T* control(const char* name) {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(c) << name;
        return c;
    }
    QLineEdit* box(const char* name) { return control<QLineEdit>(name); }
    QComboBox* combo(const char* name) { return control<QComboBox>(name); }
    QPlainTextEdit* script() { return control<QPlainTextEdit>("txtVBScript"); }
    void activate(QComboBox* c, int index) {
        c->setCurrentIndex(index);
        emit c->activated(index);
        combo("cbReportName")->hidePopup();
    }
    void chooseName(const QString& name) {
        activate(combo("cbReportName"), combo("cbReportName")->findText(name));
    }
    void typeName(const QString& name) {
        QLineEdit* edit = combo("cbReportName")->lineEdit();
        edit->setText(name);
        emit edit->textEdited(name);
    }
    // A field of the stored profile of that name.
    Variant stored(const QString& name, const QString& field) {
        auto ds =
            rows(QStringLiteral("TabProspettiStampa"), "NomeProspetto=" + g_objDatabase->TextLiteral(name));
        ds->RowFirst();
        return ds->ColValue(field);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(script(), &press);
    }
    QStringList items(QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    QStringList storedNames() {
        QStringList out;
        auto ds = rows(QStringLiteral("TabProspettiStampa"), {}, QStringLiteral("NomeProspetto"));
        for (ds->RowFirst(); !ds->RowInvalid(); ds->RowNext())
            out << ds->ColText(QStringLiteral("NomeTabellaOrigine")) + "|" +
                       ds->ColText(QStringLiteral("NomeReference")) + "|" +
                       ds->ColText(QStringLiteral("NomeProspetto")) + "|" +
                       ds->ColText(QStringLiteral("NomeGruppo"));
        return out;
    }
    // Another computer on the same file: a process of its own does `work` on the profiles.
    bool elsewhere(const std::function<bool(odb::DataSet&)>& work) {
        const pid_t pid = fork();
        if (pid == 0) {
            int code = 1;
            try {
                // This process's copies of the parent's objects are left alone, never closed.
                new std::shared_ptr<odb::Connection>(std::move(g_objConnection));
                new std::shared_ptr<odb::Database>(std::move(g_objDatabase));
                RecordingNotify sink;
                g_objConnection = std::make_shared<odb::Connection>();
                g_objConnection->OpenDatabaseFile(databasePath());
                g_objDatabase =
                    odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &sink);
                g_objDatabase->Open(g_objConnection);
                if (work(*g_objDatabase->Tables().Item("TabProspettiStampa").OpenData())) code = 0;
                g_objConnection->CloseConnection();
            } catch (...) {
            }
            _exit(code);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    QStringList messages() {
        QStringList out;
        for (const auto& s : trace->shown())
            out << QStringLiteral("%1:%2").arg(s.style).arg(s.text);
        trace->clear();
        return out;
    }

    frmCustomReportSetting* w = nullptr;
};

TEST_F(ReportSettingTest, SourcesAreTablesReferencesAndAllReferencesOfTheListedTables) {
    open(QStringLiteral("OrdiniCommerciale.Particolari"));
    // One entry only: chosen at once, the profile of a new name shown.
    EXPECT_EQ(QStringList{"Ordini Particolari Commerciale.Particolari"}, items(combo("cbTableSel")));
    EXPECT_EQ("OrdiniCommerciale", w->SelectedTableName());
    EXPECT_EQ("Particolari", w->SelectedReferenceName());
    EXPECT_EQ(QStringList{""}, items(combo("cboReportGroup")));
    EXPECT_FALSE(combo("cboReportGroup")->isEnabled());
    EXPECT_FALSE(control<QLabel>("lblReportGroup")->isEnabled());
    EXPECT_EQ("Contesto:", control<QLabel>("lblReportGroup")->text());
    typeName(QStringLiteral("Ordine"));
    trace->answer(MsgResult::Yes);  // no printer
    w->cmdOK_Click();
    EXPECT_EQ(QStringList{"OrdiniCommerciale|Particolari|Ordine|"}, storedNames());
    delete w;

    open(QStringLiteral("commesseCLIENTE.Attrezzature,CommesseCliente.Macchine,Ingressi"));
    const QStringList sources = items(combo("cbTableSel"));
    ASSERT_EQ(4, sources.size()) << sources.join(" / ").toStdString();
    EXPECT_EQ("Commesse Cliente.Dettagli Attrezzature", sources[0]);
    EXPECT_EQ("Commesse Cliente.[ tutti i riferimenti ]", sources[2]);
    EXPECT_FALSE(combo("cbReportName")->isEnabled());  // nothing chosen yet
    activate(combo("cbTableSel"), 2);
    EXPECT_EQ("CommesseCliente", w->SelectedTableName());
    EXPECT_EQ("[ tutti i riferimenti ]", w->SelectedReferenceName());
    EXPECT_TRUE(combo("cbReportName")->isEnabled());
}

TEST_F(ReportSettingTest, ANewProfileShowsTheDefaultsAndTheThreeTemplates) {
    for (bool notes : {false, true}) {
        SCOPED_TRACE(notes);
        open(QStringLiteral("Ingressi"), {}, notes);
        EXPECT_EQ("1|0|0|5|5|40|240|6|0|",
                  QStringList({box("txtColumns")->text(), box("txtReportHeight")->text(),
                               box("txtReportWidth")->text(), box("txtReportTop")->text(),
                               box("txtReportLeft")->text(), box("txtReportRowsTop")->text(),
                               box("txtReportRowsBottom")->text(), box("txtReportRowsDim")->text(),
                               box("txtBottomImageBorder")->text(), box("txtBackImage")->text()})
                      .join('|')
                      .toStdString());
        EXPECT_EQ(-1, combo("cboPrinter")->currentIndex());
        EXPECT_FALSE(control<QCheckBox>("chkHorizontal")->isChecked());
        EXPECT_FALSE(w->IsModified());
        const QString text = w->ScriptText();
        ASSERT_TRUE(text.endsWith("\r\n"));
        const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
        EXPECT_FALSE(text.contains(QRegularExpression("[^\r]\n|\r[^\n]")));
        EXPECT_EQ(notes ? 84 : 66, lines.size());
        EXPECT_EQ("Function PrintReportMask(ds, prn, bTotal)", lines.value(5));
        EXPECT_EQ("Function PrintReportRow(dsRow, prn, nRow)", lines.value(28));
        EXPECT_EQ("Function PrintDataInit(dsRow, prn)", lines.value(51));
        EXPECT_EQ(notes ? "Function PrintNoteRow(sNoteRow, ds, prn, nRow)" : "", lines.value(68));
        // Every function loads and goes on.
        vbs::ScriptHost host;
        AppScriptServices::Attach(host);
        host.AddCode(text);
        VariantList mask{Variant(), Variant(), Variant(false)}, row{Variant(), Variant(), Variant(1)},
            data{Variant(), Variant()}, note{Variant(QStringLiteral("n")), Variant(), Variant(), Variant(1)};
        EXPECT_TRUE(host.Run(QStringLiteral("PrintReportMask"), mask).toBool());
        EXPECT_TRUE(host.Run(QStringLiteral("PrintReportRow"), row).toBool());
        EXPECT_TRUE(host.Run(QStringLiteral("PrintDataInit"), data).toBool());
        delete w;
    }
}

TEST_F(ReportSettingTest, SavingAsksForWhatIsMissingOrWouldBeOverwritten) {
    const QString mixed = QStringLiteral("Sub A\n  x = 1\rEnd Sub");  // line ends not ours, no last one
    storeReports({{.table = "Ingressi", .name = "Esistente", .printer = "PDF-A5", .script = mixed}});
    open(QStringLiteral("Ingressi"));
    EXPECT_EQ(QStringList{"Esistente"}, items(combo("cbReportName")));
    EXPECT_EQ("PDF-A5", combo("cboPrinter")->currentText());  // the only name is loaded
    messages();

    // No name; no printer, answered No: nothing is written.
    typeName(QString());
    w->cmdOK_Click();
    typeName(QStringLiteral("Nuovo"));
    combo("cboPrinter")->setCurrentIndex(-1);
    trace->answer(MsgResult::No);
    w->cmdOK_Click();
    EXPECT_EQ(QStringList({"64:Devi specificare il nome del Report", "16:SALVATAGGIO FALLITO.",
                           "68:La stampante predefinita non è stata selezionata, salvare ?",
                           "16:SALVATAGGIO FALLITO."}),
              messages());
    // The typed name of a stored profile is overwritten only when the user says so.
    typeName(QStringLiteral("Esistente"));
    combo("cboPrinter")->setCurrentIndex(0);
    box("txtReportRowsDim")->setText("7,5");
    trace->answer(MsgResult::No);
    w->cmdOK_Click();
    trace->answer(MsgResult::Yes);
    w->cmdOK_Click();
    const QString overwrite = "292:Un Report con stesso nome esiste già in archivio...\r\rSovrascriverlo ?";
    EXPECT_EQ(QStringList({overwrite, "16:SALVATAGGIO FALLITO.", overwrite}), messages());
    EXPECT_EQ(7.5, stored("Esistente", "AltezzaRigheDettaglio").toDouble());
    // A name chosen from the list is saved without a question, a script left alone as it was; a new
    // name joins the list, chosen.
    chooseName(QStringLiteral("Esistente"));
    w->cmdOK_Click();
    EXPECT_EQ(mixed, stored("Esistente", "IstruzioniStampa").toText());
    const QString name = QStringLiteral("Prova \"A\" dell'officina");
    typeName(name);
    w->cmdOK_Click();
    EXPECT_EQ(QStringList(), messages());
    EXPECT_EQ(QStringList({"Esistente", name}), items(combo("cbReportName")));
    EXPECT_EQ(1, combo("cbReportName")->currentIndex());
    EXPECT_EQ(QStringList({"Ingressi||Esistente|", "Ingressi||" + name + "|"}), storedNames());

    // A box that holds no number is named, and nothing is saved.
    box("txtReportHeight")->setText("1a");
    w->cmdOK_Click();
    EXPECT_EQ(QStringList({"48:Il valore \"1a\" di \"Altezza modulo (mm):\" non è un numero valido.",
                           "16:SALVATAGGIO FALLITO."}),
              messages());
    EXPECT_EQ(0, stored("Esistente", "AltezzaModulo").toDouble());

    // Deleting: a typed name is not a chosen one; the chosen one goes, alone.
    typeName(name);
    w->cmdDelete_Click();
    trace->answer(MsgResult::No);
    chooseName(name);
    EXPECT_EQ("0", box("txtReportHeight")->text());  // loaded again: the stored height
    trace->answer(MsgResult::Yes);
    w->cmdDelete_Click();
    EXPECT_EQ(QStringList({"48:Devi selezionare il Report da eliminare", "36:" + kModified,
                           "292:Eliminare il profilo del Report corrente?", "64:Profilo eliminato."}),
              messages());
    EXPECT_EQ(QStringList{"Ingressi||Esistente|"}, storedNames());
    EXPECT_EQ(QStringList{"Esistente"}, items(combo("cbReportName")));
    EXPECT_EQ("", combo("cbReportName")->currentText());
}

TEST_F(ReportSettingTest, GroupsAndPrintersShowOnlyWhatTheListsHold) {
    storeReports({{.table = "DettagliCommesse", .name = "Uno", .group = "CostiGenerale", .printer = "PDF-A5"},
                  {.table = "DettagliCommesse",
                   .name = "Due",
                   .group = "costiparticolare  ",
                   .printer = "Non installata"},
                  {.table = "DettagliCommesse", .name = "Lungo", .height = 12345.5}});
    // Without group names the list shows the profile's own group and saves it back.
    open(QStringLiteral("DettagliCommesse"));
    chooseName(QStringLiteral("Uno"));
    EXPECT_EQ(QStringList{"CostiGenerale"}, items(combo("cboReportGroup")));
    EXPECT_FALSE(combo("cboReportGroup")->isEnabled());
    EXPECT_EQ("PDF-A5", combo("cboPrinter")->currentText());
    // A printer not installed here shows none, not the one shown before.
    chooseName(QStringLiteral("Due"));
    EXPECT_EQ(-1, combo("cboPrinter")->currentIndex());
    trace->answer(MsgResult::Yes);
    w->cmdOK_Click();
    EXPECT_EQ("", stored("Due", "NomeStampante").toText());
    chooseName(QStringLiteral("Uno"));
    w->cmdOK_Click();
    EXPECT_EQ("CostiGenerale", stored("Uno", "NomeGruppo").toText());
    // A new profile does not inherit it.
    typeName(QStringLiteral("Tre"));
    w->cbReportName_Click();
    EXPECT_EQ(QStringList{""}, items(combo("cboReportGroup")));
    // A stored value longer than its box takes is told, not cut.
    chooseName(QStringLiteral("Lungo"));
    EXPECT_EQ("16:Valore della proprietà non valido", messages().last());
    delete w;

    // With group names the stored one is found whatever its letter case and trailing blanks.
    open(QStringLiteral("DettagliCommesse"), QStringLiteral("CostiGenerale,CostiParticolare"));
    EXPECT_TRUE(combo("cboReportGroup")->isEnabled());
    chooseName(QStringLiteral("Due"));
    EXPECT_EQ(2, combo("cboReportGroup")->currentIndex());
    // A second opening only brings the window forward.
    EXPECT_EQ(w, frmCustomReportSetting::EditSetting(&owner, g_objDatabase, g_objConnection,
                                                     QStringLiteral("Ingressi")));
    EXPECT_EQ(QStringList{"Dettagli Commesse"}, items(combo("cbTableSel")));
    EXPECT_EQ(2, combo("cboReportGroup")->currentIndex());
}

TEST_F(ReportSettingTest, LeavingAModifiedProfileAsksAndAFailedSaveKeepsIt) {
    storeReports({{.table = "Ingressi", .name = "Uno"}, {.table = "Ingressi", .name = "Due"}});
    open(QStringLiteral("Ingressi"));
    // Each of the ten boxes marks the profile modified.
    bool first = true;
    for (const char* name :
         {"txtBackImage", "txtBottomImageBorder", "txtColumns", "txtReportHeight", "txtReportLeft",
          "txtReportRowsBottom", "txtReportRowsDim", "txtReportRowsTop", "txtReportTop", "txtReportWidth"}) {
        if (!first) trace->answer(MsgResult::No);
        first = false;
        chooseName(QStringLiteral("Uno"));
        EXPECT_FALSE(w->IsModified());
        box(name)->setText("12");
        EXPECT_TRUE(w->IsModified()) << name;
    }
    EXPECT_EQ(9, messages().size());

    // Yes with a name that cannot be saved: the other name is not loaded, the window not closed.
    typeName(QString());
    trace->answer(MsgResult::Yes);
    chooseName(QStringLiteral("Due"));
    EXPECT_EQ("", combo("cbReportName")->currentText());
    EXPECT_TRUE(w->IsModified());
    trace->answer(MsgResult::Yes);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(QStringList({"36:" + kModified, "64:Devi specificare il nome del Report", "36:" + kModified,
                           "64:Devi specificare il nome del Report"}),
              messages());
    // Yes saved under the name shown, then the pick is loaded; No closes as it is.
    typeName(QStringLiteral("Tre"));
    box("txtReportTop")->setText("9");
    trace->answer(MsgResult::Yes);
    chooseName(QStringLiteral("Due"));
    EXPECT_EQ("Due", combo("cbReportName")->currentText());
    EXPECT_EQ(9, stored("Tre", "MargineSuperiore").toDouble());
    box("txtReportTop")->setText("8");
    trace->answer(MsgResult::No);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(QStringList({"36:" + kModified, "36:" + kModified}), messages());
    EXPECT_EQ(0, stored("Due", "MargineSuperiore").toDouble());

    // The program lets the database go under a modified profile: saved when wanted, the window gone.
    open(QStringLiteral("Ingressi"));
    chooseName(QStringLiteral("Due"));
    box("txtReportTop")->setText("7");
    trace->answer(MsgResult::Yes);
    g_objConnection->CloseConnection();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(nullptr, frmCustomReportSetting::Instance());
    reopen();
    EXPECT_EQ(7, stored("Due", "MargineSuperiore").toDouble());
    EXPECT_EQ("36:" + kModified, messages().last());

    // Another source is not chosen either when the save wanted fails.
    open(QStringLiteral("Ingressi,Clienti"));
    activate(combo("cbTableSel"), combo("cbTableSel")->findText(QStringLiteral("Ingressi")));
    chooseName(QStringLiteral("Due"));
    box("txtReportTop")->setText("6");
    typeName(QString());
    messages();
    trace->answer(MsgResult::Yes);
    activate(combo("cbTableSel"), combo("cbTableSel")->findText(QStringLiteral("Clienti")));
    EXPECT_EQ("Ingressi", w->SelectedTableName());
    EXPECT_EQ("Ingressi", combo("cbTableSel")->currentText());
    EXPECT_EQ("6", box("txtReportTop")->text());
    EXPECT_EQ(QStringList({"36:" + kModified, "64:Devi specificare il nome del Report"}), messages());
    trace->answer(MsgResult::No);
    EXPECT_TRUE(w->close());
}

TEST_F(ReportSettingTest, ProfilesOfAnotherComputerAreSeenWhenSavingAndDeleting) {
    storeReports({{.table = "Ingressi", .name = "Uno"}});
    open(QStringLiteral("Ingressi"));
    messages();
    // Stored elsewhere after the names were read: typed here, it is asked about, not stored twice.
    ASSERT_TRUE(elsewhere([](odb::DataSet& profiles) {
        return profiles.AddRow({"NomeTabellaOrigine", "Ingressi", "NomeReference", "", "NomeProspetto", "Due",
                                "NomeStampante", "PDF-A4", "MargineSuperiore", 3});
    }));
    typeName(QStringLiteral("Due"));
    trace->answer(MsgResult::No);
    w->cmdOK_Click();
    // Deleted elsewhere while chosen here: the deletion says it is gone.
    chooseName(QStringLiteral("Uno"));
    ASSERT_TRUE(elsewhere([](odb::DataSet& profiles) {
        return profiles.FindRow("NomeProspetto='Uno'") && profiles.DeleteRow();
    }));
    trace->answer(MsgResult::Yes);
    w->cmdDelete_Click();
    EXPECT_EQ(QStringList({"292:Un Report con stesso nome esiste già in archivio...\r\rSovrascriverlo ?",
                           "16:SALVATAGGIO FALLITO.", "292:Eliminare il profilo del Report corrente?",
                           "0:Il Report con questo nome non è presente in archivio"}),
              messages());
    EXPECT_EQ(QStringList{"Ingressi||Due|"}, storedNames());
    EXPECT_EQ(3, stored("Due", "MargineSuperiore").toDouble());
}

TEST_F(ReportSettingTest, TheExportFileCarriesNamesGeometryAndScriptAndIsReadByItsRules) {
    storeReports({{.table = "DettagliCommesse",
                   .name = "Costi",
                   .group = "CostiParticolare",
                   .rowsDim = 7.5,
                   .script = "Function PrintReportRow(dsRow, prn, nRow)\r\n  PrintReportRow = True\r\n"
                             "End Function"}});
    open(QStringLiteral("DettagliCommesse"), QStringLiteral("CostiGenerale,CostiParticolare"));
    box("txtBackImage")->setText("carta è intestata.png");
    const QString file = path("ReportPrint.vbs");
    const QByteArray header =
        "'#ReportName=Costi\r\n'#ReportGroup=CostiParticolare\r\n'#BackImageFile=carta \xe8 intestata.png\r\n"
        "'#BottomImageBorder=0\r\n'#Columns=1\r\n'#ReportHeight=0\r\n'#ReportWidth=0\r\n'#ReportTop=0\r\n"
        "'#ReportLeft=0\r\n'#ReportRowsDim=7,5\r\n'#ReportRowsTop=40\r\n'#ReportRowsBottom=240\r\n"
        "'#HorizontalOrientation=0\r\n";
    auto bytes = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    trace->answerPath(file);
    w->cmdSave_Click();
    EXPECT_EQ(header + w->ScriptText().toLatin1(), bytes());
    EXPECT_TRUE(trace->last().dir.endsWith("/ReportPrint.vbs|VB Script (*.vbs)"))
        << trace->last().dir.toStdString();
    // The file exists: only our question, and No writes nothing.
    box("txtReportTop")->setText("3");
    trace->answerPath(file);
    trace->answer(MsgResult::No);
    w->cmdSave_Click();
    EXPECT_EQ("308:Il file esiste già...\r\rVuoi sostituirlo ?", messages().last());
    EXPECT_EQ(header + w->ScriptText().toLatin1(), bytes());

    // Read back into a new profile: every value, the script with a line end added, the profile modified.
    typeName(QString());
    w->cbReportName_Click();
    box("txtBackImage")->clear();
    trace->answerPath(file);
    w->cmdLoad_Click();
    EXPECT_EQ("Costi", combo("cbReportName")->currentText());
    EXPECT_EQ("CostiParticolare", combo("cboReportGroup")->currentText());
    EXPECT_EQ("carta è intestata.png", box("txtBackImage")->text());
    EXPECT_EQ("7,5", box("txtReportRowsDim")->text());
    EXPECT_EQ("0", box("txtReportTop")->text());
    EXPECT_EQ("Function PrintReportRow(dsRow, prn, nRow)\r\n  PrintReportRow = True\r\nEnd Function\r\n",
              w->ScriptText());
    EXPECT_TRUE(w->IsModified());

    // The rules of reading: a group by its place or its name, a name and an image already shown kept,
    // unknown keys dropped, a value a box refuses stopping there with what came before applied.
    auto import = [&](const QByteArray& content) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        trace->answerPath(file);
        w->cmdLoad_Click();
    };
    import("'#ReportGroup=2\r\n'#ReportName=Altro\r\n'#BackImageFile=altra.png\r\n'#Foo=bar\r\nx\r\n");
    EXPECT_EQ("CostiParticolare", combo("cboReportGroup")->currentText());
    EXPECT_EQ("Costi", combo("cbReportName")->currentText());
    EXPECT_EQ("carta è intestata.png", box("txtBackImage")->text());
    EXPECT_EQ("x\r\n", w->ScriptText());
    import("'#ReportGroup=costigenerale  \r\ny");
    EXPECT_EQ("CostiGenerale", combo("cboReportGroup")->currentText());
    import("'#ReportGroup=7\r'#HorizontalOrientation=\r\n'#Columns=3\r\n'#Columns=x7\r\n'#ReportTop=9\r\n");
    EXPECT_EQ("CostiGenerale", combo("cboReportGroup")->currentText());
    EXPECT_TRUE(control<QCheckBox>("chkHorizontal")->isChecked());
    EXPECT_EQ("3", box("txtColumns")->text());
    EXPECT_EQ("0", box("txtReportTop")->text());
    EXPECT_EQ("y\r\n", w->ScriptText());
    EXPECT_EQ("16:Valore della proprietà non valido", messages().last());

    // A file that cannot be written: its description, nothing else.
    const QString missing = path("manca/ReportPrint.vbs");
    trace->answerPath(missing);
    w->cmdSave_Click();
    EXPECT_EQ(QStringList({"0:", "16:Errore di accesso al percorso/file: " + missing}), messages());
}

TEST_F(ReportSettingTest, ImportRefusesWhatIsNoLayoutFileAndChangesNothing) {
    storeReports({{.table = "DettagliCommesse", .name = "Costi", .group = "CostiParticolare"}});
    open(QStringLiteral("DettagliCommesse"), QStringLiteral("CostiGenerale,CostiParticolare"));
    ASSERT_EQ("Costi", combo("cbReportName")->currentText());
    box("txtBackImage")->clear();
    auto shown = [&] {
        QStringList out{combo("cbReportName")->currentText(), combo("cboReportGroup")->currentText(),
                        control<QCheckBox>("chkHorizontal")->isChecked() ? "H" : "-", w->ScriptText(),
                        w->IsModified() ? "M" : "-"};
        for (const char* name :
             {"txtBackImage", "txtBottomImageBorder", "txtColumns", "txtReportHeight", "txtReportWidth",
              "txtReportTop", "txtReportLeft", "txtReportRowsDim", "txtReportRowsTop", "txtReportRowsBottom"})
            out << box(name)->text();
        return out;
    };
    auto storedRow = [&] {
        QStringList out;
        for (const char* field : {"NomeGruppo", "NumeroColonne", "MargineSuperiore", "ImmagineSfondo",
                                  "OrientamentoOrizzontale", "IstruzioniStampa"})
            out << stored("Costi", QString::fromLatin1(field)).toText();
        return out;
    };
    const QStringList shownBefore = shown();
    const QStringList storedBefore = storedRow();
    // Each begins as a layout file would, so that a reading shows in the boxes.
    const QByteArray header = "'#ReportGroup=1\r\n'#BackImageFile=x.png\r\n'#ReportTop=9\r\nx\r\n";
    const RefusedFiles files(path(QString()), header, LayoutExportFile::kMaxFileSize + 1);
    messages();
    for (const QString& file : files.all) {
        PipeWatchdog guard(files.pipe, header);
        trace->answerPath(file);
        w->cmdLoad_Click();
        EXPECT_EQ(QStringList({"0:", "16:Impossibile importare il file:\r" + file +
                                         "\r\rSi possono importare solo file di testo fino a 4 MB."}),
                  messages());
        EXPECT_EQ(shownBefore, shown()) << file.toStdString();
        EXPECT_EQ(storedBefore, storedRow()) << file.toStdString();
    }

    // A failure of the library is told in Italian, never in its own words.
    trace->failChooser(std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::io_error))));
    w->cmdLoad_Click();
    EXPECT_EQ(QStringList({"0:", "16:Operazione non riuscita: errore del sistema operativo."}), messages());
}

TEST_F(ReportSettingTest, SearchFindsTheFirstThenEachNextOccurrenceWithoutWrapping) {
    open(QStringLiteral("Ingressi"));
    w->activateWindow();
    QApplication::setActiveWindow(w);
    const QString text = script()->toPlainText();
    auto selected = [&] { return script()->textCursor().selectionStart(); };
    trace->answerText(QStringLiteral("printreportrow"));
    w->cmdSearch_Click();
    EXPECT_EQ("VB SCRIPT", trace->last().title);
    const int first = static_cast<int>(text.indexOf("PrintReportRow", 0, Qt::CaseInsensitive));
    EXPECT_EQ(first, selected());
    EXPECT_EQ("PrintReportRow", script()->textCursor().selectedText());
    int found = first;
    for (;;) {
        key(Qt::Key_F3);
        const int next = static_cast<int>(text.indexOf("PrintReportRow", found + 1, Qt::CaseInsensitive));
        if (next < 0) break;
        EXPECT_EQ(next, selected());
        found = next;
    }
    EXPECT_EQ(found, selected());  // the selection stays on the last one
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(QStringList({"0:TESTO DA CERCARE:", "0:non trovato", "0:TESTO DA CERCARE:"}), messages());
}

TEST_F(ReportSettingTest, TestAndPreviewUseTheValuesBeingEditedAndWriteNothing) {
    storeReports({{.table = "Clienti", .name = "Elenco"}});
    open(QStringLiteral("Clienti"));
    w->SetScriptText(
        QStringLiteral("Function PrintReportRow(dsRow, prn, nRow)\r\n"
                       "  prn.BoxOut 0, 100, 2, 2, True\r\n  PrintReportRow = True\r\nEnd Function\r\n"
                       "Function PrintReportMask(ds, prn, bTotal)\r\n  PrintReportMask = True\r\n"
                       "End Function\r\n"));
    box("txtReportRowsDim")->setText("12");
    messages();

    // Preview: one module with its area marks, the rows 12 mm apart.
    QImage page;
    QString pages;
    ScopedModalScript modal([&](QDialog& d) {
        auto& preview = static_cast<frmCustomReportPreview&>(d);
        page = preview.ShownPage();
        pages = preview.findChild<QLabel*>(QStringLiteral("lblTotPage"))->text();
    });
    w->cmdPreview_Click();
    EXPECT_EQ("di 1", pages);
    ASSERT_FALSE(page.isNull());
    const double mm = page.width() / 210.0;
    QList<int> tops;
    const int x = qRound(101 * mm);
    auto black = [&](int y) { return qMax(qRed(page.pixel(x, y)), qGreen(page.pixel(x, y))) < 100; };
    for (int y = 1; y < page.height(); ++y)  // the green mark crosses the first row's box
        if (black(y) && !black(y - 1) && (tops.isEmpty() || y / mm > tops.last() + 3)) tops << qRound(y / mm);
    ASSERT_GE(tops.size(), 3);
    EXPECT_EQ(40, tops[0]);
    EXPECT_EQ(12, tops[1] - tops[0]);
    EXPECT_EQ(12, tops[2] - tops[1]);
    int red = 0, green = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int px = 0; px < page.width(); px += 2) {
            const QColor c = page.pixelColor(px, y);
            red += c.red() > 200 && c.green() < 80;
            green += c.green() > 200 && c.red() < 80;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(green, 100);

    // Test on the PDF printer: one page, then the message; a broken script: its error only.
    combo("cboPrinter")->setCurrentIndex(combo("cboPrinter")->findText("PDF-A4"));
    w->cmdTest_Click();
    EXPECT_EQ(1u, pdfPages().size());
    EXPECT_EQ(QStringList{"64:La pagina di test è stata stampata"}, messages());
    w->SetScriptText(w->ScriptText().replace("prn.BoxOut", "prn.BoxOut("));
    w->cmdTest_Click();
    const QStringList shown = messages();
    ASSERT_EQ(1, shown.size());
    EXPECT_TRUE(shown[0].startsWith("16:Errore di inizializzazione del codice di stampa"))
        << shown[0].toStdString();
    // The preview of it: the same error, no preview window.
    page = QImage();
    w->cmdPreview_Click();
    EXPECT_EQ(QStringList{shown[0]}, messages());
    EXPECT_TRUE(page.isNull());
    // A size that is no number stops both before anything runs.
    box("txtReportRowsDim")->setText("x");
    w->cmdPreview_Click();
    EXPECT_EQ(QStringList{"48:Il valore \"x\" di \"Dimensione righe (mm):\" non è un numero valido."},
              messages());
    EXPECT_TRUE(w->IsModified());
    EXPECT_EQ(6, stored("Elenco", "AltezzaRigheDettaglio").toDouble());
}

TEST_F(ReportSettingTest, AReferenceSourceIsTriedOnTheRowTheUserPicks) {
    open(QStringLiteral("CommesseCliente.Attrezzature"));
    w->SetScriptText(TraceScript());
    int chooser = 0;
    ScopedModalScript modal([&](QDialog& d) {
        if (auto* rows = qobject_cast<odb::RowChooser*>(&d)) {
            ++chooser;
            if (chooser == 2) rows->cmdOK()->click();
        }
    });
    w->cmdPreview_Click();  // nothing picked: nothing runs
    EXPECT_EQ("", traceSummary());
    w->cmdPreview_Click();
    EXPECT_EQ(2, chooser);
    EXPECT_EQ("R1-2 M0T", traceSummary());
}

// "&Test" with no printer in the box prints nowhere: it asks for one.
TEST_F(ReportSettingTest, TestWithNoPrinterChosenAsksForOne) {
    storeReports({{.table = "Clienti", .name = "Elenco", .printer = "Non installata"}});
    open(QStringLiteral("Clienti"));
    ASSERT_EQ(-1, combo("cboPrinter")->currentIndex());
    messages();
    w->cmdTest_Click();
    EXPECT_EQ(QStringList{"64:Devi selezionare la stampante"}, messages());
    EXPECT_TRUE(trace->trace.isEmpty());
    EXPECT_TRUE(pdfPages().empty());
}

// With no print queue the program's own PDF printer is listed: a profile is saved on it and its test
// goes to the PDF file the user names.
TEST_F(ReportSettingTest, WithNoPrintQueueAProfileIsSavedAndTestedOnTheProgramsPdfPrinter) {
    storeReports({{.table = "Clienti", .name = "Elenco"}});
    PrinterRegistry::instance().reset(false);
    open(QStringLiteral("Clienti"));
    EXPECT_EQ(QStringList{"Stampa su PDF"}, items(combo("cboPrinter")));
    combo("cboPrinter")->setCurrentIndex(0);
    w->cmdOK_Click();
    EXPECT_EQ("Stampa su PDF", stored("Elenco", "NomeStampante").toText());
    messages();
    trace->answerPath(path("prova.pdf"));
    w->cmdTest_Click();
    ASSERT_EQ(2u, trace->shown().size());
    EXPECT_EQ(RecordingPrompt::Kind::SaveFile, trace->shown()[0].kind);
    EXPECT_EQ("Stampa su PDF", trace->shown()[0].title);
    EXPECT_EQ("64:La pagina di test è stata stampata", messages().last());
    const auto pages = pdfPages(path("prova.pdf"));
    ASSERT_EQ(1u, pages.size());
    EXPECT_TRUE(pages[0].text.contains("Riga 3")) << pages[0].text.toStdString();

    // Nothing written, nothing said printed: the chooser cancelled, or a refused write then a cancel.
    w->cmdTest_Click();
    EXPECT_EQ(QStringList{"0:"}, messages());  // the chooser
    trace->answerPath(path("manca/prova.pdf"));
    w->cmdTest_Click();
    EXPECT_EQ(
        (QStringList{"0:", "16:Impossibile scrivere il file \"" + path("manca/prova.pdf") + "\".", "0:"}),
        messages());
}

// The printer setup makes the printer, paper and orientation chosen the current printer of the run;
// the printer box stays as it was.
TEST_F(ReportSettingTest, ThePrinterSetupMakesItsChoiceTheCurrentPrinter) {
    storeReports({{.table = "Clienti", .name = "Elenco"}});
    open(QStringLiteral("Clienti"));
    ASSERT_EQ("PDF-A4", combo("cboPrinter")->currentText());
    trace->answerPrinterSetup("Stampa su PDF", QPageSize(QPageSize::A5), 2);
    control<QToolButton>("cmdPrnSetting")->click();
    ASSERT_EQ(1u, trace->shown().size());
    EXPECT_EQ(RecordingPrompt::Kind::PrinterSetup, trace->last().kind);
    EXPECT_EQ("Impostazione stampanti", trace->last().title);
    EXPECT_EQ("PDF-A4", combo("cboPrinter")->currentText());
    auto current = PrinterRegistry::instance().current();
    ASSERT_TRUE(current);
    EXPECT_EQ("Stampa su PDF", current->deviceName());
    EXPECT_EQ(2, current->orientation());
    EXPECT_EQ(QSizeF(210, 148), current->physicalSize());
}

}  // namespace
