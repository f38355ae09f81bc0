// The start-up password: its scrambling, the password file, and the dialog's confirm, change and
// cancel roads at start and with a password handed in by the login.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "odb/ui/ModalDialog.h"
#include "platform/ProgramFolder.h"
#include "startup/EndProgram.h"
#include "startup/PasswordFile.h"
#include "startup/ScrambleString.h"
#include "startup/frmPassword.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

namespace {

using namespace MsgBoxStyle;

const QString kWrong =
    "La password non è corretta.\r\rFare attenzione all'utilizzo delle maiuscole/minuscole";
const QString kChanged = "La password e' stata modificata.";
const QString kNoPasswordNote = "\r\rNOTA: Senza password sono disattivate tutte le restrizioni di accesso.";

// The message boxes shown, without the beeps between them.
std::vector<RecordingPrompt::Shown> Boxes(const RecordingPrompt& prompt) {
    std::vector<RecordingPrompt::Shown> out;
    for (const auto& s : prompt.shown())
        if (s.kind == RecordingPrompt::Kind::MsgBox) out.push_back(s);
    return out;
}

QByteArray Bytes(const QString& scrambled) {
    return scrambled.toLatin1();
}

TEST(ScrambleString, BitsOfOddAndEvenLengths) {
    EXPECT_EQ(Bytes(ScrambleString("abc", false)), QByteArray::fromHex("303131"));
    // Even lengths rotate only: the top bit carries the low bit of the code.
    EXPECT_EQ(Bytes(ScrambleString("ab", false)), QByteArray::fromHex("b031"));
    EXPECT_EQ(Bytes(ScrambleString("A", false)), QByteArray(" "));
    // Letter case changes the stored text; trailing blanks are kept, blanks alone are no password.
    EXPECT_NE(ScrambleString("ABC", false), ScrambleString("abc", false));
    EXPECT_EQ(ScrambleString("ab ", false).size(), 3);
    EXPECT_EQ(ScrambleString("   ", false), "");
    EXPECT_EQ(ScrambleString("", false), "");
    // A stored blank is the password "A", not the empty one.
    EXPECT_EQ(ScrambleString(" ", true), "A");
    EXPECT_EQ(ScrambleString("", true), "");
}

TEST(ScrambleString, EveryNonBlankPasswordComesBack) {
    auto check = [](const QString& p) {
        const QString stored = ScrambleString(p, false);
        ASSERT_EQ(stored.size(), p.size());
        ASSERT_EQ(ScrambleString(stored, true), p) << p.toStdString();
    };
    // Every text of one and two Latin-1 characters...
    for (int a = 0; a < 256; ++a) {
        if (a != ' ') check(QString(QChar(a)));
        for (int b = 0; b < 256; ++b)
            if (a != ' ' || b != ' ') check(QString(QChar(a)) + QChar(b));
    }
    // ... texts that scramble to blanks alone ...
    for (const char* p : {"A", "A@A", "@@", "A@A@A", "A@A@A@A"})
        check(p);
    // ... and many of three to eight.
    std::mt19937 random(1102);
    for (int n = 0; n < 200000; ++n) {
        QString p;
        const int length = 3 + int(random() % 6);
        for (int i = 0; i < length; ++i)
            p += QChar(int(random() % 256));
        if (p.count(QChar(' ')) != p.size()) check(p);
    }
}

// Replaces the modal run of the password dialog by a script that works its controls.
class PasswordDialogTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        previous_ = odb::SetModalRunner([this](QDialog& d) {
            auto* w = qobject_cast<frmPassword*>(&d);
            if (!w) return int(QDialog::Rejected);
            ++shown;
            if (script) script(*w);
            return d.result();
        });
    }
    void TearDown() override {
        odb::SetModalRunner(std::move(previous_));
        ResetProgramEnding();
        QFile::setPermissions(PasswordFilePath(), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(PasswordFilePath());
        QDir().rmdir(PasswordFilePath());
        TempFolderTest::TearDown();
    }
    void storePassword(const QString& password) { WritePasswordFile(ScrambleString(password, false)); }
    QByteArray fileBytes() {
        QFile f(PasswordFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    static void type(QLineEdit* box, const QString& text) { box->setText(text); }

    ScopedRecordingPrompt prompt;
    std::function<void(frmPassword&)> script;
    int shown = 0;

  private:
    odb::ModalRunner previous_;
};

TEST_F(PasswordDialogTest, NoFileOrAnEmptyOneMeansNoPasswordAndNoDialog) {
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    QFile empty(PasswordFilePath());
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(prompt->shown().empty());
}

TEST_F(PasswordDialogTest, AWrongPasswordIsAskedAgainUntilTheRightOne) {
    storePassword("abc");
    EXPECT_EQ(fileBytes(), QByteArray::fromHex("303131"));
    script = [this](frmPassword& w) {
        EXPECT_TRUE(w.txtPassword()->isEnabled());
        EXPECT_FALSE(w.chkNew()->isHidden());
        EXPECT_FALSE(w.chkNew()->isChecked());
        EXPECT_TRUE(w.txtNewPwd()->isHidden());
        for (const char* attempt : {"ABC", "", "abc "}) {
            type(w.txtPassword(), attempt);
            w.cmdConfirm()->click();
        }
        type(w.txtPassword(), "abc");
        w.cmdConfirm()->click();
    };
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(prompt->beeps(), 3);
    ASSERT_EQ(Boxes(*prompt).size(), 3u);
    for (const auto& s : Boxes(*prompt)) {
        EXPECT_EQ(s.text, kWrong);
        EXPECT_EQ(s.icon(), vbInformation);
    }
    EXPECT_EQ(fileBytes(), QByteArray::fromHex("303131"));
}

TEST_F(PasswordDialogTest, CancelRefusesAccess) {
    storePassword("abc");
    script = [](frmPassword& w) { w.cmdCancel()->click(); };
    EXPECT_FALSE(frmPassword::StartupCheck(nullptr));
    // Typing the right password and then cancelling refuses as well.
    script = [](frmPassword& w) {
        type(w.txtPassword(), "abc");
        w.cmdCancel()->click();
    };
    EXPECT_FALSE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(prompt->shown().empty());
}

TEST_F(PasswordDialogTest, ChangingThePasswordAtStartRewritesTheFileReadOnly) {
    storePassword("abc");
    frmPassword dialog;
    script = [](frmPassword& w) {
        type(w.txtPassword(), "abc");
        w.chkNew()->click();
        EXPECT_FALSE(w.txtNewPwd()->isHidden());
        EXPECT_TRUE(w.txtNewPwd()->isEnabled());
        EXPECT_TRUE(w.lblConfirmNewPwd()->isEnabled());
        type(w.txtNewPwd(), "Nuova1");
        type(w.txtConfirmNewPwd(), "nuova1");
        w.cmdConfirm()->click();
        type(w.txtConfirmNewPwd(), "Nuova1");
        w.cmdConfirm()->click();
    };
    EXPECT_TRUE(dialog.ValidatePassword(nullptr, false));
    EXPECT_EQ(prompt->beeps(), 2);
    const auto boxes = Boxes(*prompt);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "La password di conferma non corrisponde...");
    EXPECT_EQ(boxes[0].icon(), vbExclamation);
    EXPECT_EQ(boxes[1].text, kChanged);
    EXPECT_EQ(boxes[1].icon(), vbInformation);
    EXPECT_TRUE(dialog.Changed());
    EXPECT_EQ(dialog.Password(), "Nuova1");
    EXPECT_EQ(fileBytes(), Bytes(ScrambleString("Nuova1", false)));
    EXPECT_FALSE(QFileInfo(PasswordFilePath()).permissions() &
                 (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(ProgramFolder()).entryList({"prtct1*"}, QDir::Files | QDir::Hidden),
              QStringList{"prtct1.sys"});

    // The old password no longer opens; the new one does.
    prompt->clear();
    script = [](frmPassword& w) {
        type(w.txtPassword(), "abc");
        w.cmdConfirm()->click();
        type(w.txtPassword(), "Nuova1");
        w.cmdConfirm()->click();
    };
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    ASSERT_EQ(Boxes(*prompt).size(), 1u);
    EXPECT_EQ(prompt->last().text, kWrong);
}

TEST_F(PasswordDialogTest, AnEmptyNewPasswordLeavesAnEmptyFileAndNoPassword) {
    storePassword("abc");
    script = [](frmPassword& w) {
        type(w.txtPassword(), "abc");
        w.chkNew()->click();
        w.cmdConfirm()->click();
    };
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(prompt->last().text, kChanged + kNoPasswordNote);
    EXPECT_EQ(fileBytes(), QByteArray());
    EXPECT_TRUE(QFile::exists(PasswordFilePath()));
    script = nullptr;
    const int before = shown;
    EXPECT_TRUE(frmPassword::StartupCheck(nullptr));
    EXPECT_EQ(shown, before);
}

TEST_F(PasswordDialogTest, AGivenPasswordIsAskedForAndNeverTouchesTheFile) {
    storePassword("abc");
    const QByteArray file = fileBytes();
    // "A" is stored as one blank: it is "A" that opens, not an empty entry.
    frmPassword login;
    script = [](frmPassword& w) {
        type(w.txtPassword(), "");
        w.cmdConfirm()->click();
        type(w.txtPassword(), "a");
        w.cmdConfirm()->click();
        type(w.txtPassword(), "A");
        w.cmdConfirm()->click();
    };
    EXPECT_TRUE(login.ValidatePassword(nullptr, false, ScrambleString(" ", true)));
    EXPECT_EQ(Boxes(*prompt).size(), 2u);
    EXPECT_FALSE(login.Changed());

    // An empty given password still shows the dialog.
    script = [](frmPassword& w) { w.cmdConfirm()->click(); };
    const int before = shown;
    EXPECT_TRUE(login.ValidatePassword(nullptr, false, QString()));
    EXPECT_EQ(shown, before + 1);

    // Change mode: the current password stands in its locked box, the new rows are open.
    prompt->clear();
    script = [](frmPassword& w) {
        EXPECT_TRUE(w.chkNew()->isChecked());
        EXPECT_FALSE(w.chkNew()->isEnabled());
        EXPECT_FALSE(w.txtPassword()->isEnabled());
        EXPECT_EQ(w.txtPassword()->text(), "A");
        EXPECT_FALSE(w.txtNewPwd()->isHidden());
        type(w.txtNewPwd(), "Bz9");
        type(w.txtConfirmNewPwd(), "Bz9");
        w.cmdConfirm()->click();
    };
    EXPECT_TRUE(login.ValidatePassword(nullptr, true, "A"));
    EXPECT_TRUE(login.Changed());
    EXPECT_EQ(login.Password(), "Bz9");
    EXPECT_EQ(prompt->last().text, kChanged);
    EXPECT_EQ(fileBytes(), file);

    // Without the change option its box is hidden.
    script = [](frmPassword& w) {
        EXPECT_TRUE(w.chkNew()->isHidden());
        EXPECT_TRUE(w.txtNewPwd()->isHidden());
        w.cmdCancel()->click();
    };
    EXPECT_FALSE(login.ValidatePassword(nullptr, true, "A", true));
    EXPECT_FALSE(login.Changed());
}

TEST_F(PasswordDialogTest, AFileThatCannotBeWrittenOrReadEndsTheProgram) {
    storePassword("abc");
    script = [](frmPassword& w) {
        type(w.txtPassword(), "abc");
        w.chkNew()->click();
        type(w.txtNewPwd(), "x");
        type(w.txtConfirmNewPwd(), "x");
        // The file's place is taken meanwhile by a folder: the new file cannot take its name.
        QFile::setPermissions(PasswordFilePath(), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(PasswordFilePath());
        QDir().mkdir(PasswordFilePath());
        w.cmdConfirm()->click();
    };
    EXPECT_FALSE(frmPassword::StartupCheck(nullptr));
    EXPECT_TRUE(ProgramEnding());
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_TRUE(prompt->last().text.startsWith("Errore in validazione / modifica Password \r"));
    EXPECT_TRUE(prompt->last().text.endsWith("\r\rControllare la rete e i diritti di accesso..."));
    EXPECT_EQ(prompt->last().icon(), 0);
    // A password file that cannot be read is never taken for no password.
    prompt->clear();
    ResetProgramEnding();
    script = nullptr;
    EXPECT_FALSE(frmPassword::StartupCheck(nullptr));
    EXPECT_TRUE(ProgramEnding());
    EXPECT_TRUE(prompt->last().text.startsWith("Errore in validazione / modifica Password \r"));
}

}  // namespace
