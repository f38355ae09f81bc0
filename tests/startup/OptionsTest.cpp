// The options dialog and the work-folder picker: what they show, check and save.
#include <QApplication>
#include <QCheckBox>
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

class OptionsTest : public StartupTest {
  protected:
    void SetUp() override {
        StartupTest::SetUp();
        QDir().mkpath(workFolder());
        g_strRootDir = workFolder();
    }
    QString saved(const QString& key) { return GetSetting("Zelto Lavrix", "Configuration", key, "<none>"); }
    ScopedRecordingPrompt prompt;
};

TEST_F(OptionsTest, ShowsAndSavesTheConfiguration) {
    g_strCommandPanelUserName = "Reparto";
    g_lngIntervalTimerControlPanel = 0;
    frmOptions dialog;
    EXPECT_EQ(dialog.maskIntervalRefreshControlPanel()->text(), "1");  // below 1 shows as 1
    EXPECT_EQ(dialog.txtOperatore()->text(), "Reparto");
    EXPECT_FALSE(dialog.txtOperatore()->isEnabled());
    EXPECT_TRUE(main.optionsActive && !main.widget.isEnabled());
    dialog.chkIsWorkStation()->click();
    EXPECT_TRUE(dialog.txtOperatore()->isEnabled());
    dialog.txtOperatore()->setText("Linea 2");
    dialog.maskNumCommVisible()->setText("80");
    dialog.chkIsMailNotificationServer()->click();
    // The same folder: no question, nothing released.
    dialog.cmdOK()->click();
    EXPECT_TRUE(dialog.Confirmed());
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(main.releases, 0);
    EXPECT_TRUE(!main.optionsActive && main.widget.isEnabled());
    const QStringList keys = {"RootDir",
                              "IsWorkStation",
                              "CommandPanelUserName",
                              "NumCommVisible",
                              "IntervalTimerControlPanel",
                              "IsMailNotificationServer"};
    QStringList values;
    for (const QString& k : keys)
        values << saved(k);
    EXPECT_EQ(values, (QStringList{workFolder(), "True", "Linea 2", "80", "1", "True"}));
    EXPECT_EQ(g_intNumCommVisible, 80);
}

TEST_F(OptionsTest, AFolderInAnotherLetterCaseIsAnotherFolder) {
    const QString other = workFolder().toUpper();
    frmOptions dialog;
    dialog.txtWorkDir()->setText(other);
    prompt->answer(MsgResult::No);
    dialog.cmdOK()->click();
    EXPECT_EQ(prompt->last().text, "L'indirizzario di lavoro e' cambiato.\r\rConfermi ?");
    EXPECT_EQ(prompt->last().style, vbYesNo | vbQuestion);
    // No: nothing saved or released, the dialog still open.
    EXPECT_FALSE(dialog.Confirmed());
    EXPECT_EQ(saved("RootDir"), "<none>");
    EXPECT_EQ(main.releases, 0);
    prompt->answer(MsgResult::Yes);
    dialog.cmdOK()->click();
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
        {dialog.maskIntervalRefreshControlPanel(), "1,5", true},
        {dialog.maskIntervalRefreshControlPanel(), "120000", false},
    };
    for (const Case& c : cases) {
        prompt->clear();
        c.box->setText(c.text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(c.box, &out);
        EXPECT_EQ(prompt->texts(), c.refused ? QStringList{"Il campo deve essere numerico"} : QStringList{})
            << c.text;
    }
    // OK pressed while a box holds no number saves nothing.
    dialog.maskNumCommVisible()->clear();
    dialog.cmdOK()->click();
    EXPECT_FALSE(dialog.Confirmed());
    EXPECT_EQ(saved("NumCommVisible"), "<none>");
}

}  // namespace
