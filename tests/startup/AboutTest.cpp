// The About box's address and accepting the legal notice.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "odb/ui/ModalDialog.h"
#include "startup/frmAbout.h"
#include "startup/frmInformative.h"
#include "support/RecordingPrompt.h"
#include "support/RecordingShell.h"
#include "support/ScopedPrograms.h"
#include "support/TestEnvironment.h"

namespace {

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
        TempFolderTest::TearDown();
    }
    std::function<void(QDialog&)> drive;
    bool noticeButtons = true;
    QString noticeText;
    ScopedRecordingShell shell;

  private:
    odb::ModalRunner previous_;
};

TEST_F(AboutAndNotice, TheAddressOpensInTheBrowser) {
    frmAbout about;
    about.show();
    click(about.lblWeb());
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].file, frmAbout::MakerWebAddress());
}

TEST_F(AboutAndNotice, SystemInformationIsTheDesktopsProgramOrTheMessage) {
    ScopedRecordingPrompt prompt;
    const QString started = path("avviato");
    // What each program writes when it is started.
    auto program = [&](ScopedPrograms& programs, const char* name) {
        programs.add(name, "echo " + QByteArray(name) + " > '" + started.toUtf8() + "'");
    };
    auto startedProgram = [&] {
        QElapsedTimer waited;
        waited.start();
        // The shell creates the file before it writes the name: one write, so any size is all of it.
        while (QFileInfo(started).size() == 0 && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QFile f(started);
        f.open(QIODevice::ReadOnly);
        const QString name = QString::fromUtf8(f.readAll().trimmed());
        f.close();
        QFile::remove(started);
        return name;
    };
    frmAbout about;
    const struct {
        std::vector<const char*> installed;
        const char* started;
    } cases[] = {
        {{"ksysguard", "gnome-system-monitor", "hardinfo"}, "hardinfo"},
        {{"ksysguard", "gnome-system-monitor"}, "gnome-system-monitor"},
        {{"ksysguard"}, "ksysguard"},
    };
    for (const auto& c : cases) {
        ScopedPrograms programs;
        for (const char* name : c.installed)
            program(programs, name);
        about.StartSysInfo();
        EXPECT_EQ(startedProgram(), c.started);
    }
    EXPECT_TRUE(prompt->shown().empty());
    {
        ScopedPrograms none;
        about.StartSysInfo();
    }
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "System Information Is Unavailable At This Time");
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

}  // namespace
