// The options dialog and the work-folder picker: what they show, check and save.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include "StartupFixture.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "startup/frmOptions.h"
#include "startup/frmSelectDir.h"
#include "support/ModalScript.h"
#include "support/RecordingPrompt.h"

namespace {

using namespace MsgBoxStyle;

const QString kApp = QStringLiteral("Zelto Lavrix");
const QString kConfiguration = QStringLiteral("Configuration");

class OptionsTest : public StartupTest {
  protected:
    void SetUp() override {
        StartupTest::SetUp();
        QDir().mkpath(workFolder());
        g_strRootDir = workFolder();
    }
    QString saved(const QString& key) { return GetSetting(kApp, kConfiguration, key, "<none>"); }
    static void leave(QLineEdit* box) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
    }
    ScopedRecordingPrompt prompt;
};

TEST_F(OptionsTest, LoadingShowsTheConfigurationAndMarksTheMainWindow) {
    g_blnIsWorkStation = true;
    g_strCommandPanelUserName = "Reparto";
    g_intNumCommVisible = 12;
    g_lngIntervalTimerControlPanel = 0;
    g_blnIsMailNotificationServer = true;
    {
        frmOptions dialog;
        EXPECT_EQ(dialog.windowTitle(), "Impostazioni");
        EXPECT_EQ(dialog.txtWorkDir()->text(), workFolder());
        EXPECT_TRUE(dialog.chkIsWorkStation()->isChecked());
        EXPECT_TRUE(dialog.txtOperatore()->isEnabled());
        EXPECT_EQ(dialog.txtOperatore()->text(), "Reparto");
        EXPECT_EQ(dialog.maskNumCommVisible()->text(), "12");
        // An interval below 1 shows as 1.
        EXPECT_EQ(dialog.maskIntervalRefreshControlPanel()->text(), "1");
        EXPECT_TRUE(dialog.chkIsMailNotificationServer()->isChecked());
        EXPECT_FALSE(dialog.Confirmed());
        EXPECT_TRUE(main.optionsActive);
        EXPECT_FALSE(main.widget.isEnabled());
        // The user box follows the workstation box.
        dialog.chkIsWorkStation()->click();
        EXPECT_FALSE(dialog.txtOperatore()->isEnabled());
    }
    // Unloaded without OK: the main window is back and nothing was saved.
    EXPECT_FALSE(main.optionsActive);
    EXPECT_TRUE(main.widget.isEnabled());
    EXPECT_EQ(saved("IsWorkStation"), "<none>");
    EXPECT_TRUE(prompt->shown().empty());
}

TEST_F(OptionsTest, OkSavesEverySettingAndASameFolderAsksNothing) {
    frmOptions dialog;
    dialog.chkIsWorkStation()->click();
    dialog.txtOperatore()->setText("Linea 2");
    dialog.maskNumCommVisible()->setText("80");
    dialog.maskIntervalRefreshControlPanel()->setText("30000");
    dialog.chkIsMailNotificationServer()->click();
    dialog.cmdOK()->click();
    EXPECT_TRUE(dialog.Confirmed());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(main.releases, 0);
    EXPECT_TRUE(g_blnIsWorkStation);
    EXPECT_EQ(g_strCommandPanelUserName, "Linea 2");
    EXPECT_EQ(g_intNumCommVisible, 80);
    EXPECT_EQ(g_lngIntervalTimerControlPanel, 30000);
    EXPECT_TRUE(g_blnIsMailNotificationServer);
    EXPECT_EQ(saved("RootDir"), workFolder());
    EXPECT_EQ(saved("IsWorkStation"), "True");
    EXPECT_EQ(saved("CommandPanelUserName"), "Linea 2");
    EXPECT_EQ(saved("NumCommVisible"), "80");
    EXPECT_EQ(saved("IntervalTimerControlPanel"), "30000");
    EXPECT_EQ(saved("IsMailNotificationServer"), "True");
    EXPECT_FALSE(main.optionsActive);
}

TEST_F(OptionsTest, AFolderInAnotherLetterCaseIsAnotherFolder) {
    const QString other = workFolder().toUpper();
    frmOptions dialog;
    dialog.txtWorkDir()->setText(other);
    prompt->answer(MsgResult::No);
    dialog.cmdOK()->click();
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "L'indirizzario di lavoro e' cambiato.\r\rConfermi ?");
    EXPECT_EQ(prompt->last().style, vbYesNo | vbQuestion);
    // No: nothing saved, nothing released, the dialog still open.
    EXPECT_FALSE(dialog.Confirmed());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(g_strRootDir, workFolder());
    EXPECT_EQ(saved("RootDir"), "<none>");
    EXPECT_EQ(main.releases, 0);
    EXPECT_TRUE(main.optionsActive);

    prompt->answer(MsgResult::Yes);
    dialog.cmdOK()->click();
    EXPECT_TRUE(dialog.Confirmed());
    EXPECT_EQ(g_strRootDir, other);
    EXPECT_EQ(saved("RootDir"), other);
    EXPECT_EQ(main.releases, 1);
}

TEST_F(OptionsTest, LeavingAMaskedBoxWithoutANumberIsRefused) {
    frmOptions dialog;
    struct Case {
        QLineEdit* box;
        const char* text;
        bool refused;
    };
    const Case cases[] = {
        {dialog.maskNumCommVisible(), "", true},
        {dialog.maskNumCommVisible(), "7x", true},
        {dialog.maskNumCommVisible(), "0", false},
        {dialog.maskIntervalRefreshControlPanel(), "", true},
        {dialog.maskIntervalRefreshControlPanel(), "1,5", true},
        {dialog.maskIntervalRefreshControlPanel(), "120000", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box->objectName().toUtf8()) + " '" + c.text + "'");
        prompt->clear();
        c.box->setText(c.text);
        leave(c.box);
        if (c.refused) {
            ASSERT_EQ(prompt->shown().size(), 1u);
            EXPECT_EQ(prompt->last().text, "Il campo deve essere numerico");
            EXPECT_EQ(prompt->last().icon(), vbInformation);
        } else {
            EXPECT_TRUE(prompt->shown().empty());
        }
    }
    // OK pressed while a box holds no number saves nothing.
    dialog.maskNumCommVisible()->clear();
    prompt->clear();
    dialog.cmdOK()->click();
    EXPECT_EQ(prompt->texts(), QStringList{"Il campo deve essere numerico"});
    EXPECT_FALSE(dialog.Confirmed());
    EXPECT_EQ(saved("NumCommVisible"), "<none>");
}

TEST_F(OptionsTest, CancelSavesNothing) {
    frmOptions dialog;
    dialog.txtWorkDir()->setText(path("altra"));
    dialog.chkIsWorkStation()->click();
    dialog.cmdCancel()->click();
    EXPECT_FALSE(dialog.Confirmed());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(g_strRootDir, workFolder());
    EXPECT_FALSE(g_blnIsWorkStation);
    EXPECT_EQ(saved("RootDir"), "<none>");
    EXPECT_FALSE(main.optionsActive);
    EXPECT_TRUE(main.widget.isEnabled());
}

TEST_F(OptionsTest, ThePickerPutsTheChosenFolderInTheBox) {
    const QString chosen = path("dati/archivio");
    ASSERT_TRUE(QDir().mkpath(chosen));
    frmOptions dialog;
    ScopedModalScript dialogs([&](QDialog& d) {
        auto* picker = qobject_cast<frmSelectDir*>(&d);
        ASSERT_TRUE(picker);
        EXPECT_EQ(picker->windowTitle(), "Selezione indirizzario");
        // It opens on the folder of the box.
        EXPECT_EQ(picker->highlightedDir(), workFolder());
        picker->dirSelect()->setCurrentIndex(
            static_cast<QFileSystemModel*>(picker->dirSelect()->model())->index(chosen));
        picker->cmdOk()->click();
    });
    dialog.cmdSelWorkDir()->click();
    EXPECT_EQ(dialog.txtWorkDir()->text(), chosen);
    // Leaving the picker with "Esci" keeps the folder shown.
    dialogs.set([](QDialog& d) { qobject_cast<frmSelectDir*>(&d)->cmdEsci()->click(); });
    dialog.cmdSelWorkDir()->click();
    EXPECT_EQ(dialog.txtWorkDir()->text(), chosen);
    EXPECT_EQ(dialogs.runs, 2);
}

TEST_F(OptionsTest, PickerOnDisksOrAnyOtherLocation) {
    frmSelectDir picker;
    picker.SetSelectedDir(workFolder() + "/");
    EXPECT_TRUE(picker.optResource(0)->isChecked());
    EXPECT_TRUE(picker.optResource(0)->font().bold());
    EXPECT_FALSE(picker.optResource(1)->font().bold());
    EXPECT_TRUE(picker.driveSelect()->isEnabled());
    EXPECT_FALSE(picker.cmdSelectRes()->isEnabled());
    EXPECT_GT(picker.driveSelect()->count(), 0);
    EXPECT_EQ(picker.highlightedDir(), workFolder());

    picker.optResource(1)->click();
    EXPECT_TRUE(picker.optResource(1)->font().bold());
    EXPECT_FALSE(picker.driveSelect()->isEnabled());
    EXPECT_TRUE(picker.cmdSelectRes()->isEnabled());
    // The file dialog's chosen file names its folder; a cancelled one changes nothing.
    const QString other = path("rete");
    QDir().mkpath(other);
    QFile(other + "/a.txt").open(QIODevice::WriteOnly);
    prompt->answerPath(other + "/a.txt");
    picker.cmdSelectRes()->click();
    EXPECT_EQ(prompt->last().kind, RecordingPrompt::Kind::OpenFile);
    EXPECT_EQ(picker.highlightedDir(), other);
    picker.cmdSelectRes()->click();
    EXPECT_EQ(picker.highlightedDir(), other);
    picker.cmdOk()->click();
    // The highlighted folder, without a trailing separator.
    EXPECT_EQ(picker.SelectedDir(), other);

    picker.SetSelectedDir(other);
    picker.cmdEsci()->click();
    EXPECT_EQ(picker.SelectedDir(), "");
}

}  // namespace
