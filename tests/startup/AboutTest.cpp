// The About box and the legal notice: what they show, the commands of the About box, accepting
// the notice, and printing it.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

#include "odb/ui/ModalDialog.h"
#include "platform/DefaultPrinter.h"
#include "startup/SharedState.h"
#include "startup/frmAbout.h"
#include "startup/frmInformative.h"
#include "support/RecordingPrompt.h"
#include "support/RecordingShell.h"
#include "support/TestEnvironment.h"

namespace {

using namespace MsgBoxStyle;

void pressEscape(QWidget* w) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &esc);
}

void click(QWidget* w) {
    const QPointF at(2, 2);
    QMouseEvent down(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

class AboutAndNotice : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        frmInformative::CompanyName.clear();
        previous_ = odb::SetModalRunner([this](QDialog& d) {
            d.show();
            if (auto* notice = qobject_cast<frmInformative*>(&d)) {
                ++notices;
                noticeButtons = notice->cmdOk()->isVisible() || notice->cmdCancel()->isVisible();
                noticeText = notice->lblResponsability()->text();
            }
            if (drive) drive(d);
            const int result = d.result();
            d.hide();
            return result;
        });
    }
    void TearDown() override {
        odb::SetModalRunner(std::move(previous_));
        SetDefaultPrinterName({});
        TempFolderTest::TearDown();
    }
    std::function<void(QDialog&)> drive;
    int notices = 0;
    bool noticeButtons = true;
    QString noticeText;
    ScopedRecordingPrompt prompt;
    ScopedRecordingShell shell;

  private:
    odb::ModalRunner previous_;
};

TEST_F(AboutAndNotice, TheAboutBoxShowsProductVersionAndDescription) {
    frmAbout about;
    EXPECT_EQ(about.lblTitle()->text(), "Zelto Lavrix");
    EXPECT_EQ(about.lblVersion()->text(), QStringLiteral("Version %1.%2.%3")
                                              .arg(AppVersionMajor())
                                              .arg(AppVersionMinor())
                                              .arg(AppVersionRevision()));
    EXPECT_EQ(about.lblDescription()->text(), "Zuviduze Rovaravi");
}

TEST_F(AboutAndNotice, SystemInformationIsUnavailableAndNothingIsStarted) {
    QString value = "vecchio";
    EXPECT_FALSE(frmAbout::GetKeyValue(0, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", value));
    EXPECT_EQ(value, "");
    frmAbout about;
    about.cmdSysInfo()->click();
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(prompt->last().style, vbOKOnly);
    EXPECT_TRUE(shell->calls.empty());
}

TEST_F(AboutAndNotice, LogoShowsTheContactsAndTheAddressOpensInTheBrowser) {
    frmAbout about;
    about.show();
    click(about.imgQuendral());
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, frmAbout::MakerContacts());
    EXPECT_EQ(prompt->last().text.count('\r'), 3) << "four lines";
    EXPECT_EQ(prompt->last().icon(), vbInformation);
    EXPECT_TRUE(shell->calls.empty());
    click(about.lblWeb());
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].file, frmAbout::MakerWebAddress());
    EXPECT_EQ(shell->calls[0].operation, "open");
}

TEST_F(AboutAndNotice, TheNoticeFromTheAboutBoxCanOnlyBeReadAndNamesTheMaker) {
    frmInformative::CompanyName = "Officina Rossi";
    frmInformative::AcceptInformative = true;
    drive = [](QDialog& d) {
        if (qobject_cast<frmInformative*>(&d)) pressEscape(&d);
    };
    frmAbout about;
    about.cmdInformativa()->click();
    ASSERT_EQ(notices, 1);
    EXPECT_FALSE(noticeButtons);
    EXPECT_EQ(noticeText.count(frmInformative::DefaultCompanyName()), 3);
    EXPECT_FALSE(noticeText.contains("Officina Rossi"));
    EXPECT_FALSE(frmInformative::AcceptInformative);
}

TEST_F(AboutAndNotice, TheNoticeNamesTheCompanyAndRecordsTheAnswer) {
    struct Case {
        const char* company;
        const char* named;
        int action;  // 0 OK, 1 Cancel, 2 Esc
        bool accepted;
    };
    const Case cases[] = {
        {"Officina Rossi", "Officina Rossi", 0, true},
        {"   ", "Quendral", 0, true},
        {"", "Quendral", 1, false},
        {"Officina Rossi", "Officina Rossi", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.company);
        frmInformative::CompanyName = c.company;
        frmInformative::AcceptInformative = !c.accepted;
        drive = [&](QDialog& d) {
            auto& n = static_cast<frmInformative&>(d);
            EXPECT_FALSE(frmInformative::AcceptInformative) << "False from the load on";
            if (c.action == 0) n.cmdOk()->click();
            if (c.action == 1) n.cmdCancel()->click();
            if (c.action == 2) pressEscape(&n);
        };
        EXPECT_EQ(frmInformative::ShowModal(nullptr), c.accepted);
        EXPECT_EQ(frmInformative::AcceptInformative, c.accepted);
        EXPECT_TRUE(noticeButtons);
        EXPECT_EQ(noticeText.count(c.named), 3);
        EXPECT_EQ(frmInformative::CompanyName, c.named) << "kept for the next showing";
    }
}

TEST_F(AboutAndNotice, PrintingAsksForThePrinterAndReportsFailures) {
    frmInformative notice;
    notice.show();
    if (QPrinterInfo::defaultPrinterName().isEmpty()) {
        notice.cmdPrint()->click();
        ASSERT_EQ(prompt->shown().size(), 1u);
        EXPECT_EQ(prompt->last().text, "Nessuna stampante definita");
        EXPECT_EQ(prompt->last().icon(), vbExclamation);
    }
    SetDefaultPrinterName("Ufficio Tecnico");
    prompt->clear();
    prompt->answer(MsgResult::No);
    notice.cmdPrint()->click();
    ASSERT_EQ(prompt->shown().size(), 1u) << "No prints nothing";
    EXPECT_EQ(prompt->last().text, "Stampa della videata in <Ufficio Tecnico>\r\n\r\nConfermi ?");
    EXPECT_EQ(prompt->last().buttons(), vbYesNo);
    EXPECT_EQ(prompt->last().icon(), vbQuestion);

    // A printer that cannot be reached: the error's own text, and the window stays.
    prompt->clear();
    prompt->answer(MsgResult::Yes);
    notice.cmdPrint()->click();
    ASSERT_EQ(prompt->shown().size(), 2u);
    EXPECT_TRUE(prompt->last().text.contains("Ufficio Tecnico")) << prompt->last().text.toStdString();
    EXPECT_EQ(prompt->last().style, vbOKOnly);
    EXPECT_TRUE(notice.isVisible());
}

}  // namespace
