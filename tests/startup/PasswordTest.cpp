// The start-up password: its scrambling, the password file, and the dialog's confirm, change and
// cancel roads at start and with a password handed in by the login.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

#include "platform/ProgramFolder.h"
#include "startup/EndProgram.h"
#include "startup/PasswordFile.h"
#include "startup/ScrambleString.h"
#include "startup/frmPassword.h"
#include "support/ModalScript.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

namespace {

using namespace MsgBoxStyle;

const QString kWrong =
    "La password non è corretta.\r\rFare attenzione all'utilizzo delle maiuscole/minuscole";
const QString kChanged = "La password e' stata modificata.";

TEST(ScrambleString, BitsAndRoundTrips) {
    EXPECT_EQ(ScrambleString("abc", false).toLatin1(), QByteArray::fromHex("303131"));
    EXPECT_EQ(ScrambleString("ab", false).toLatin1(), QByteArray::fromHex("b031"));  // even: rotated only
    EXPECT_EQ(ScrambleString("   ", false), "");                                     // blanks: no password
    // Every non-blank text of one or two Latin-1 characters comes back, and texts stored as blanks
    // alone ("A" is one blank).
    std::vector<QString> texts = {"A", "A@A", "@@", "A@A@A@A"};
    for (int a = 0; a < 256; ++a) {
        texts.push_back(QString(QChar(a)));
        for (int b = 0; b < 256; ++b)
            texts.push_back(QString(QChar(a)) + QChar(b));
    }
    for (const QString& p : texts)
        if (p.count(u' ') != p.size()) {
            ASSERT_EQ(ScrambleString(ScrambleString(p, false), true), p);
        }
}

class PasswordDialogTest : public TempFolderTest {
  protected:
    void TearDown() override {
        ResetProgramEnding();
        QFile::setPermissions(PasswordFilePath(), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(PasswordFilePath());
        QDir().rmdir(PasswordFilePath());
        TempFolderTest::TearDown();
    }
    // Runs the password dialog through `script`.
    void run(std::function<void(frmPassword&)> script) {
        dialogs.set([script](QDialog& d) { script(*qobject_cast<frmPassword*>(&d)); });
    }
    static void confirm(frmPassword& w, const QString& typed) {
        w.txtPassword()->setText(typed);
        w.cmdConfirm()->click();
    }
    QByteArray fileBytes() {
        QFile f(PasswordFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    QStringList boxes() {
        QStringList out;
        for (const auto& s : prompt->shown())
            if (s.kind == RecordingPrompt::Kind::MsgBox) out << s.text;
        return out;
    }
    ScopedRecordingPrompt prompt;
    ScopedModalScript dialogs;
};

TEST_F(PasswordDialogTest, AskedUntilRightOrCancelled) {
    // No file, or an empty one: no password, no dialog.
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    WritePasswordFile("");
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(dialogs.runs, 0);

    WritePasswordFile(ScrambleString("abc", false));
    run([](frmPassword& w) {
        for (const char* attempt : {"ABC", "", "abc"})
            confirm(w, attempt);
    });
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(boxes(), (QStringList{kWrong, kWrong}));
    EXPECT_EQ(prompt->last().icon(), vbInformation);
    EXPECT_EQ(prompt->beeps(), 2);
    run([](frmPassword& w) {
        w.txtPassword()->setText("abc");
        w.cmdCancel()->click();
    });
    EXPECT_FALSE(frmPassword::StartupCheck(nullptr));
}

TEST_F(PasswordDialogTest, AChangeAtStartReplacesTheFileReadOnly) {
    WritePasswordFile(ScrambleString("abc", false));
    frmPassword dialog;
    run([](frmPassword& w) {
        w.chkNew()->click();
        EXPECT_FALSE(w.txtNewPwd()->isHidden());
        w.txtNewPwd()->setText("Nuova1");
        w.txtConfirmNewPwd()->setText("nuova1");
        confirm(w, "abc");
        w.txtConfirmNewPwd()->setText("Nuova1");
        w.cmdConfirm()->click();
    });
    EXPECT_TRUE(dialog.ValidatePassword(nullptr, false));
    EXPECT_EQ(boxes(), (QStringList{"La password di conferma non corrisponde...", kChanged}));
    EXPECT_TRUE(dialog.Changed());
    EXPECT_EQ(dialog.Password(), "Nuova1");
    EXPECT_EQ(fileBytes(), ScrambleString("Nuova1", false).toLatin1());
    EXPECT_FALSE(QFileInfo(PasswordFilePath()).permissions() &
                 (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    EXPECT_EQ(QDir(ProgramFolder()).entryList({"prtct1*"}, QDir::Files | QDir::Hidden),
              QStringList{"prtct1.sys"});

    // To an empty password: an empty file, the note, and no dialog from then on.
    prompt->clear();
    run([](frmPassword& w) {
        w.chkNew()->click();
        confirm(w, "Nuova1");
    });
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(boxes(),
              QStringList{kChanged + "\r\rNOTA: Senza password sono disattivate tutte le restrizioni di "
                                     "accesso."});
    EXPECT_EQ(fileBytes(), QByteArray());
    const int runs = dialogs.runs;
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(dialogs.runs, runs);
}

TEST_F(PasswordDialogTest, AGivenPasswordIsAskedForAndNeverTouchesTheFile) {
    // "A" is stored as one blank: it is "A" that opens, not an empty entry.
    frmPassword login;
    run([](frmPassword& w) {
        for (const char* attempt : {"", "a", "A"})
            confirm(w, attempt);
    });
    EXPECT_TRUE(login.ValidatePassword(nullptr, false, ScrambleString(" ", true)));
    EXPECT_EQ(boxes(), (QStringList{kWrong, kWrong}));
    // Change mode: the current password stands in its locked box, the new one is asked for.
    run([](frmPassword& w) {
        EXPECT_TRUE(w.chkNew()->isChecked() && !w.chkNew()->isEnabled() && !w.txtPassword()->isEnabled());
        EXPECT_EQ(w.txtPassword()->text(), "A");
        w.txtNewPwd()->setText("Bz9");
        w.txtConfirmNewPwd()->setText("Bz9");
        w.cmdConfirm()->click();
    });
    EXPECT_TRUE(login.ValidatePassword(nullptr, true, "A"));
    EXPECT_EQ(login.Password(), "Bz9");
    EXPECT_FALSE(QFile::exists(PasswordFilePath()));
    // An empty given password still shows the dialog; without the change option its box is hidden.
    run([](frmPassword& w) {
        EXPECT_TRUE(w.chkNew()->isHidden());
        w.cmdCancel()->click();
    });
    EXPECT_FALSE(login.ValidatePassword(nullptr, false, QString(), true));
    EXPECT_EQ(dialogs.runs, 3);
}

TEST_F(PasswordDialogTest, AFileThatCannotBeWrittenOrReadEndsTheProgram) {
    WritePasswordFile(ScrambleString("abc", false));
    run([](frmPassword& w) {
        w.chkNew()->click();
        // The file's place is taken meanwhile by a folder: the new file cannot take its name.
        QFile::setPermissions(PasswordFilePath(), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(PasswordFilePath());
        QDir().mkdir(PasswordFilePath());
        confirm(w, "abc");
    });
    for (int attempt = 0; attempt < 2; ++attempt) {
        // The second time the folder is read as the password file: never taken for no password.
        EXPECT_FALSE(frmPassword::StartupCheck(nullptr));
        EXPECT_TRUE(ProgramEnding());
        EXPECT_TRUE(prompt->last().text.startsWith("Errore in validazione / modifica Password \r"));
        EXPECT_TRUE(prompt->last().text.endsWith("\r\rControllare la rete e i diritti di accesso..."));
        EXPECT_EQ(prompt->last().icon(), 0);
        ResetProgramEnding();
    }
    EXPECT_EQ(dialogs.runs, 1);
}

}  // namespace
