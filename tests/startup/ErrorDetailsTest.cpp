// The error details: the code text, the short message, the details window and its three outputs
// (the page, the text file, the support mail link), and an error that escapes a window event.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <stdexcept>

#include "odb/DbmsGlobal.h"
#include "odb/ui/ModalDialog.h"
#include "platform/GuardedApplication.h"
#include "platform/ProgramFolder.h"
#include "platform/RaiseAppError.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmShowException.h"
#include "startup/modZeltoFormUtility.h"
#include "support/RecordingPrompt.h"
#include "support/RecordingShell.h"
#include "support/TestEnvironment.h"

namespace {

using namespace MsgBoxStyle;

QByteArray readBytes(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return "<missing>";
    return in.readAll();
}

TEST(ErrorCodeText, OffsetFromTheBaseForNegativeNumbersDecimalAndHex) {
    struct Case {
        int32_t number;
        const char* text;
    };
    const Case cases[] = {
        {kAppErrorNumber, "32755 (7FF3)"},
        {vbObjectError + 124, "124 (7C)"},
        {5, "5 (5)"},
        {13, "13 (D)"},
        {0, "0 (0)"},
        {vbObjectError, "0 (0)"},
        {vbObjectError - 5, "-5 (FFFFFFFB)"},
        {INT_MIN, "-262144 (FFFC0000)"},
        {-1, "2147221503 (7FFBFFFF)"},
        {INT_MAX, "2147483647 (7FFFFFFF)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorCodeText(c.number), c.text) << c.number;
}

TEST(ErrorShortMessage, OwnAndLibraryGeneralErrorsShowTheLibraryText) {
    const QString tail = "\r\rVisualizzare dettagli ?";
    const QString general = odb::DbmsGlobal::ErrorText(odb::odbErrGeneral);
    const QString longText(500, QLatin1Char('x'));
    struct Case {
        int32_t number;
        QString description, extra, expected;
    };
    const Case cases[] = {
        {kAppErrorNumber, "Guasto", "Impossibile importare i dati", general + tail},
        {vbObjectError + 124, "Guasto", "", general + tail},
        {vbObjectError + 103, "Impossibile aprire", "", "Impossibile aprire ..." + tail},
        {5, longText, "", longText.left(200) + " ..." + tail},
        {5, "Dieci car.", "", "Dieci car. ..." + tail},
        {5, "Descrizione", "Impossibile importare i dati", "Impossibile importare i dati ..." + tail},
        {5, "Descrizione", longText, longText.left(200) + " ..." + tail},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorShortMessage(c.number, c.description, c.extra), c.expected) << c.number;
}

// Installs a runner that records the details window instead of blocking on it.
class ErrorDetailsTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        previous = odb::SetModalRunner([this](QDialog& d) {
            auto* w = qobject_cast<frmShowException*>(&d);
            if (w) {
                ++windows;
                code = w->codeText();
                message = w->messageText();
            }
            return int(QDialog::Rejected);
        });
    }
    void TearDown() override {
        odb::SetModalRunner(std::move(previous));
        ClearCurrentError();
        TempFolderTest::TearDown();
    }
    odb::ModalRunner previous;
    int windows = 0;
    QString code, message;
    ScopedRecordingPrompt prompt;
    ScopedRecordingShell shell;
};

TEST_F(ErrorDetailsTest, NoStopsAfterTheShortMessage) {
    SetCurrentError(AppError(5, "Zelto Lavrix", "Chiamata di routine o argomento non validi"));
    prompt->answer(MsgResult::No);
    ShowErrorDetails("");
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text,
              "Chiamata di routine o argomento non validi ...\r\rVisualizzare dettagli ?");
    EXPECT_EQ(windows, 0);
}

TEST_F(ErrorDetailsTest, YesShowsTheCodeAndTheFullDescriptionNeverTheExtraText) {
    SetCurrentError(AppError(kAppErrorNumber, "clsX", "[clsX], Err.: 32755\rRiga due"));
    prompt->answer(MsgResult::Yes);
    ShowErrorDetails("Impossibile importare i dati");
    EXPECT_EQ(prompt->last().text, odb::DbmsGlobal::ErrorText(124) + "\r\rVisualizzare dettagli ?");
    ASSERT_EQ(windows, 1);
    EXPECT_EQ(code, "32755 (7FF3)");
    EXPECT_EQ(message, "[clsX], Err.: 32755\r\nRiga due");
}

TEST_F(ErrorDetailsTest, AnErrorEscapingAClickIsShownAndTheProgramGoesOn) {
    const GuardedApplication::Reporter heard = InstallEscapedErrorDetails();
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("Vai"), &window);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] {
        switch (++clicks) {
            case 1:
                RaiseAppError(QStringLiteral("PROVA"), QStringLiteral("Archivio occupato"));
            case 2:
                throw std::bad_alloc();
            case 3:
                throw std::runtime_error("vector::_M_range_check");
            default:
                break;
        }
    });
    window.show();
    const QString tail = QStringLiteral(" ...\r\rVisualizzare dettagli ?");
    const QStringList expected = {
        odb::DbmsGlobal::ErrorText(odb::odbErrGeneral) + "\r\rVisualizzare dettagli ?",
        "Memoria esaurita" + tail, "Errore interno" + tail};
    prompt->answer(MsgResult::Yes);
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(button, Qt::LeftButton);
    GuardedApplication::SetEscapedErrorReporter(heard);

    // Each failure told as the others are, the program's own with its details; the fourth click is
    // taken as any click.
    EXPECT_EQ(clicks, 4);
    ASSERT_EQ(prompt->texts(), expected);
    for (const auto& shown : prompt->shown())
        EXPECT_EQ(shown.style, vbYesNo | vbCritical | vbDefaultButton2);
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(code, "32755 (7FF3)");
    EXPECT_EQ(message, "[PROVA], Err.: 32755\r\nArchivio occupato");
}

TEST_F(ErrorDetailsTest, BrowserWritesTheEscapedMessageAndOpensIt) {
    frmShowException w;
    w.SetException("32755 (7FF3)", "Valore <b>non</b> valido & \"altro\"\rè finito");
    w.cmdBrowser()->click();
    const QString file = QDir(ProgramFolder()).filePath("Error.htm");
    const QByteArray expected =
        "\xEF\xBB\xBF" +
        QString("Valore &lt;b&gt;non&lt;/b&gt; valido &amp; &quot;altro&quot;\r\nè finito\r\n").toUtf8();
    EXPECT_EQ(readBytes(file), expected);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].file, file);
    EXPECT_TRUE(prompt->shown().empty());
}

// Records where the save chooser starts and with which filter.
class SaveRecordingPrompt : public RecordingPrompt {
  public:
    QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                         QWidget* owner) override {
        lastDir = dir;
        lastFilter = filter;
        return RecordingPrompt::saveFileName(title, dir, filter, owner);
    }
    QString lastDir, lastFilter;
};

class SaveErrorTest : public ErrorDetailsTest {
  protected:
    void SetUp() override {
        ErrorDetailsTest::SetUp();
        savePrompt = std::make_shared<SaveRecordingPrompt>();
        previousPrompt = Prompt::setInstance(savePrompt);
        w.SetException("32755 (7FF3)", "Riga uno\rRiga due");
    }
    void TearDown() override {
        Prompt::setInstance(previousPrompt);
        ErrorDetailsTest::TearDown();
    }
    std::shared_ptr<SaveRecordingPrompt> savePrompt;
    std::shared_ptr<Prompt> previousPrompt;
    frmShowException w;
    const QByteArray content = "Error: 32755 (7FF3)Riga uno\r\nRiga due\r\n";
};

TEST_F(SaveErrorTest, AnExistingFileIsReplacedOnlyOnYes) {
    const QString file = path("esistente.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("contenuto precedente, piu' lungo del nuovo testo da scrivere nel file");
    f.close();

    savePrompt->answerPath(file);
    savePrompt->answer(MsgResult::No);
    w.cmdSave_Click();
    EXPECT_EQ(savePrompt->lastDir, QDir(ProgramFolder()).filePath("LastError.txt"));
    ASSERT_EQ(savePrompt->shown().size(), 2u);
    EXPECT_EQ(savePrompt->last().text, "Il file esiste già...\r\rVuoi sostituirlo ?");
    EXPECT_TRUE(readBytes(file).startsWith("contenuto precedente"));

    savePrompt->answerPath(file);
    savePrompt->answer(MsgResult::Yes);
    w.cmdSave_Click();
    EXPECT_EQ(readBytes(file), content);
}

TEST(SupportMailLink, BlanksAndLineEndsAsMailProgramsExpectAndNothingThatBreaksTheLink) {
    const QString head =
        "mailto:" + frmShowException::SupportMailAddress() + "?subject=SUPPORT%20REQUEST&body=";
    struct Case {
        QString text, body;
    };
    const Case cases[] = {
        {"Error: 5 (5)riga uno\r\nriga due", "Error:%205%20(5)riga%20uno%0d%0ariga%20due"},
        {"100% pronto", "100%25%20pronto"},
        {"%20 resta", "%2520%20resta"},  // an encoding already in the text is not taken as one
        {"a&b=c", "a%26b%3Dc"},
        {"#?+", "%23%3F%2B"},
        {"già €", "gi%C3%A0%20%E2%82%AC"},
        {"(x) <y> 'z' \"w\" ;:/,.-_*!@", "(x)%20<y>%20'z'%20\"w\"%20;:/,.-_*!@"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(frmShowException::SupportMailLink(c.text), head + c.body) << c.text.toStdString();
}

}  // namespace
