// ExportHtmlTable: the column question, the chooser, the page in the program folder, the shell,
// the message window and the error road.
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "base/AppError.h"
#include "odb/ui/FieldChooser.h"
#include "odb/ui/ModalDialog.h"
#include "odb/ui/UiTestDatabase.h"
#include "platform/ProgramFolder.h"
#include "startup/frmMessage.h"
#include "startup/modZeltoFormUtility.h"
#include "support/RecordingPrompt.h"
#include "support/RecordingShell.h"
#include "support/TestEnvironment.h"

namespace {

using namespace MsgBoxStyle;

const char* const kQuestion = "Vuoi modificare la sequenza dei campi per il browser ?";

QString readAll(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return "<missing>";
    return QString::fromUtf8(in.readAll());
}

class ExportHtmlTableTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        db = std::make_unique<uitest::UiTestDatabase>(path("export.db"));
        db->addArticolo("A<1>", "Vite & \"dado\"", "nota <i>", 5);
        db->addArticolo("B2", "Rondella è piana", "", 7);
        previousRunner = odb::SetModalRunner([this](QDialog& d) {
            ++dialogs;
            messageUpWhileChoosing = frmMessage::isLoaded();
            auto* chooser = qobject_cast<odb::FieldChooser*>(&d);
            if (!chooser) return int(QDialog::Rejected);
            if (!choose) return int(QDialog::Rejected);
            chooser->cmdRemoveAll()->click();
            for (const QString& name : *choose) {
                for (int i = 0; i < chooser->lstAvailable()->count(); ++i)
                    chooser->lstAvailable()->item(i)->setSelected(chooser->lstAvailable()->item(i)->text() ==
                                                                  name);
                chooser->cmdAdd()->click();
            }
            chooser->cmdOK()->click();
            return d.result();
        });
    }
    void TearDown() override {
        odb::SetModalRunner(std::move(previousRunner));
        frmMessage::Unload();
        db.reset();
        TempFolderTest::TearDown();
    }
    QString page() const { return QDir(ProgramFolder()).filePath("TableData.htm"); }

    std::unique_ptr<uitest::UiTestDatabase> db;
    odb::ModalRunner previousRunner;
    int dialogs = 0;
    bool messageUpWhileChoosing = false;
    std::optional<QStringList> choose;  // the columns the user picks; none: Cancel
    ScopedRecordingPrompt prompt;
    ScopedRecordingShell shell;
};

TEST_F(ExportHtmlTableTest, NoToTheQuestionExportsTheShownColumnsEscaped) {
    QFile old(page());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("vecchio contenuto");
    old.close();

    prompt->answer(MsgResult::No);
    ExportHtmlTable(db->articoli("Codice"), nullptr);

    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, kQuestion);
    EXPECT_EQ(dialogs, 0);

    const QString html = readAll(page());
    EXPECT_FALSE(html.contains("vecchio contenuto"));
    EXPECT_TRUE(html.contains("<th>Codice</th><th>Descrizione</th><th>Prezzo</th></tr>"))
        << html.toStdString();
    EXPECT_TRUE(html.contains("<td>A&lt;1&gt;</td><td>Vite &amp; &quot;dado&quot;</td><td>5</td>"))
        << html.toStdString();
    EXPECT_FALSE(html.contains("nota"));  // a field not shown stays out
    EXPECT_FALSE(html.contains("<i>"));

    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].file, page());
    EXPECT_FALSE(frmMessage::isLoaded());
}

TEST_F(ExportHtmlTableTest, APageNoProgramOpensIsToldWithItsPath) {
    shell->accepts = false;  // no browser on this computer
    prompt->answer(MsgResult::No);
    ExportHtmlTable(db->articoli("Codice"), nullptr);
    EXPECT_TRUE(QFile::exists(page()));
    ASSERT_EQ(prompt->shown().size(), 2u);
    EXPECT_EQ(prompt->last().text, "Impossibile aprire il file:\r\r" + page() +
                                       "\r\rNessun programma di questo computer lo ha aperto: aprirlo "
                                       "manualmente.");
    EXPECT_EQ(prompt->last().icon(), MsgBoxStyle::vbExclamation);
}

TEST_F(ExportHtmlTableTest, YesLetsTheUserChooseAndOrderTheColumns) {
    choose = QStringList{"Note", "Codice"};
    prompt->answer(MsgResult::Yes);
    ExportHtmlTable(db->articoli("Codice"), nullptr);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(messageUpWhileChoosing);  // the message window comes after the choice
    const QString html = readAll(page());
    EXPECT_TRUE(html.contains("<tr><th>Note</th><th>Codice</th></tr>")) << html.toStdString();
    EXPECT_TRUE(html.contains("<tr><td>nota &lt;i&gt;</td><td>A&lt;1&gt;</td></tr>")) << html.toStdString();
    EXPECT_EQ(shell->calls.size(), 1u);
}

TEST_F(ExportHtmlTableTest, CancelledChoiceOrNoDataSetExportsNothing) {
    prompt->answer(MsgResult::Yes);
    ExportHtmlTable(db->articoli(), nullptr);
    ExportHtmlTable(nullptr, nullptr);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(QFile::exists(page()));
    EXPECT_TRUE(shell->calls.empty());
    EXPECT_EQ(prompt->shown().size(), 1u);
}

TEST_F(ExportHtmlTableTest, AFailureGoesToTheErrorDetailsAndUnloadsTheMessageWindow) {
    SetProgramFolder(path("non/esiste"));
    prompt->answer(MsgResult::No);
    prompt->answer(MsgResult::No);  // no details
    ExportHtmlTable(db->articoli(), nullptr);
    ASSERT_EQ(prompt->shown().size(), 2u);
    EXPECT_TRUE(prompt->last().text.endsWith(" ...\r\rVisualizzare dettagli ?"))
        << prompt->last().text.toStdString();
    EXPECT_EQ(CurrentError().number() - vbObjectError, 103);
    EXPECT_TRUE(shell->calls.empty());
    EXPECT_FALSE(frmMessage::isLoaded());
}

}  // namespace
