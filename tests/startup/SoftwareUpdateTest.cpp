// The software update: local and online discovery, the descriptor and its errors, the question,
// the download and its check, cabinet unpacking, the start file and its start, the program's end,
// and the check run by the database opening.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "StartupFixture.h"
#include "base/AppError.h"
#include "platform/AppUpdateClient.h"
#include "platform/SettingsStore.h"
#include "startup/DatabaseOpening.h"
#include "startup/EndProgram.h"
#include "startup/SharedState.h"
#include "startup/SoftwareUpdate.h"
#include "startup/frmOptions.h"
#include "support/CabinetWriter.h"
#include "support/HttpTestServer.h"
#include "support/ModalScript.h"
#include "support/RecordingPrompt.h"
#include "support/RecordingShell.h"

namespace {

using namespace MsgBoxStyle;

const QString kApp = "ZeltoLavrix";
const QString kScript = "/QoLib/GetAppUpdateFile.asp";

void writeFile(const QString& file, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.description();
    }
    return "<no error>";
}

class SoftwareUpdate : public StartupTest {
  protected:
    void SetUp() override {
        StartupTest::SetUp();
        g_strRootDir = workFolder();
        previousTmp_ = qgetenv("TMPDIR");
        QDir().mkpath(path("tmp"));
        qputenv("TMPDIR", path("tmp").toUtf8());
        SaveSetting(kAppSettingsName, "Configuration", "UpdateBaseURL", server.baseUrl() + "/QoLib/");
    }
    void TearDown() override {
        qputenv("TMPDIR", previousTmp_);
        SetStartupUpdateCheck({});
        StartupTest::TearDown();
    }
    QString updates(const QString& name = {}) const { return QDir(workFolder()).filePath("Updates/" + name); }
    // The server's answer to the query, and the package it hands out.
    void serve(const QByteArray& line, const QByteArray& package = {}, qint64 contentLength = -1) {
        server.route(kScript, [=](const HttpTestServer::Request& r) {
            HttpTestServer::Response answer;
            answer.body = r.query.hasQueryItem("Get") ? package : line;
            if (r.query.hasQueryItem("Get")) answer.contentLength = contentLength;
            return answer;
        });
    }
    bool check(int32_t mode, bool noQuestion = false) {
        return CheckSoftwareUpdate(g_strRootDir, kApp, 2, 2, 49, mode, nullptr, nullptr, noQuestion, true);
    }
    int downloads() const {
        int n = 0;
        for (const auto& r : server.requests())
            n += r.query.hasQueryItem("Get");
        return n;
    }
    QString programParameters() const { return kApp + " " + QCoreApplication::applicationDirPath(); }

    HttpTestServer server;
    ScopedRecordingPrompt prompt;
    ScopedRecordingShell shell;

  private:
    QByteArray previousTmp_;
};

TEST_F(SoftwareUpdate, TheLocalFindIsTheNewestAboveTheRunningVersionWhateverTheLetterCase) {
    struct Case {
        QStringList files;
        int running;  // major, minor and revision as 2 02 049
        const char* found;
    };
    const Case cases[] = {
        {{"ZeltoLavrix_0002_0002_0049.CAB", "ZeltoLavrix_0002_0002_0050.CAB"},
         202049,
         "LC:ZeltoLavrix_0002_0002_0050.CAB"},
        {{"zeltolavrix_0002_0002_0051.cab", "ZeltoLavrix_0002_0002_0050.CAB"},
         202049,
         "LC:zeltolavrix_0002_0002_0051.cab"},
        {{"ZeltoLavrix_0002_0009_0999.sh", "ZeltoLavrix_0002_0010_0000.sh"},
         209005,
         "LC:ZeltoLavrix_0002_0010_0000.sh"},
        {{"ZeltoLavrix_0002_0002_0049.CAB", "ZeltoLavrix.ini", "Altro_0009_0000_0000.CAB"}, 202049, ""},
        // A kind that cannot be started is never offered.
        {{"ZeltoLavrix_0002_0002_0051.zip", "ZeltoLavrix_0002_0002_0050.sh"},
         202049,
         "LC:ZeltoLavrix_0002_0002_0050.sh"},
        {{}, 202049, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.found);
        QDir(updates()).removeRecursively();
        QDir().mkpath(updates());
        for (const QString& f : c.files)
            writeFile(updates(f), "x");
        EXPECT_EQ(FindUpdatePackage(g_strRootDir, kApp, c.running / 100000, c.running / 1000 % 100,
                                    c.running % 1000, kUpdateLocalOnly, nullptr, nullptr),
                  c.found);
    }
    EXPECT_TRUE(server.requests().empty()) << "local only never asks the server";
}

TEST_F(SoftwareUpdate, DescriptorsAreReadOrRaiseTheUpdateError) {
    writeFile(updates("ZeltoLavrix_0002_0003_0001.sh"), QByteArray(2500, 's'));
    UpdatePackage p;
    ASSERT_TRUE(ParseUpdateDescriptor(g_strRootDir, "LC:ZeltoLavrix_0002_0003_0001.sh", kApp, p));
    EXPECT_EQ(p.file, updates("ZeltoLavrix_0002_0003_0001.sh"));
    EXPECT_EQ(p.size, 2500);
    EXPECT_EQ(p.source, 1);
    EXPECT_EQ(p.revision, 1);
    ASSERT_TRUE(
        ParseUpdateDescriptor(g_strRootDir, "OL:0002_0004_0007,123456,15/03/2024,pkg_CAB,extra", kApp, p));
    EXPECT_EQ(p.major * 10000 + p.minor * 100 + p.revision, 20407);
    EXPECT_EQ(p.size, 123456);
    EXPECT_EQ(p.file, "pkg_CAB");
    EXPECT_EQ(p.source, 2);
    ASSERT_TRUE(ParseUpdateDescriptor(g_strRootDir, "OL:0002_0004_0007,0,non una data,pkg.cab", kApp, p));
    EXPECT_EQ(p.date, 0);

    const char* bad[] = {
        "OL:0002_0004_0007,123,15/03/2024",         // three fields
        "OL:0002_0004,123,15/03/2024,pkg.cab",      // two version parts
        "OL:0002_0004_0007,molti,15/03/2024,pkg",   // no size
        "OL:0002_0004_0007,-5,15/03/2024,pkg.cab",  // a size below nothing
        "OL:0002_0004_99999,1,15/03/2024,pkg",      // beyond 16 bits
        "OL:0002_0004_0007,5,ieri,pkg.cab",         // no date
        "LC:Altro_0002_0003_0001.sh",               // another program's package
        "LC:ZeltoLavrix_0002_0003_0009.sh",         // no such file
        "XX:0002_0004_0007,1,1/1/2024,pkg",
    };
    for (const char* d : bad)
        EXPECT_EQ(errorOf([&] { ParseUpdateDescriptor(g_strRootDir, d, kApp, p); }),
                  QString("[APPLICATION UPDATE], Err.: 32755\rErrore nei dati di aggiornamento: ") + d);
}

TEST_F(SoftwareUpdate, ALocalScriptIsOfferedStartedWithTheProgramsParametersAndTheProgramEnds) {
    writeFile(updates("ZeltoLavrix_0002_0002_0050.SH"), QByteArray(12500, 's'));
    const QString package = updates("ZeltoLavrix_0002_0002_0050.SH");
    {
        QFile f(package);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime(QDate(2024, 3, 15), QTime(9, 0)), QFileDevice::FileModificationTime));
    }

    prompt->answer(MsgResult::No);
    EXPECT_FALSE(check(kUpdateLocalOnly));
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text,
              "E' DISPONIBILE UN AGGIORNAMENTO SOFTWARE, INSTALLARLO ADESSO ?\r\r"
              "NUOVA VERSIONE:\rZelto Lavrix v.2.2.50\r12KB del 15/03/2024\r\r"
              "N.B.: L'applicazione verrà chiusa durante l'aggiornamento.");
    EXPECT_EQ(prompt->last().style, vbYesNo | vbInformation);
    EXPECT_TRUE(shell->calls.empty());
    EXPECT_EQ(main.unloads, 0);

    prompt->answer(MsgResult::Yes);
    EXPECT_TRUE(check(kUpdateLocalOnly));
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].file, package);
    EXPECT_EQ(shell->calls[0].operation, "open");
    EXPECT_EQ(shell->calls[0].parameters, programParameters());
    EXPECT_EQ(shell->calls[0].workDir, "");
    EXPECT_TRUE(QFileInfo(package).isExecutable());
    EXPECT_EQ(main.unloads, 1);
    EXPECT_TRUE(ProgramEnding());
}

TEST_F(SoftwareUpdate, AnOnlineCabinetIsDownloadedUnpackedAndItsStartFileStarted) {
    const QString cab = path("build.cab");
    ASSERT_TRUE(WriteCabinet(
        cab.toStdString(),
        {{"bin\\ZeltoLavrix", std::string(5000, 'b')}, {"Setup.SH", "#!/bin/sh\n"}, {"install.run", "ELF"}}));
    QFile in(cab);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    serve("0002_0003_0000," + QByteArray::number(bytes.size()) + ",01/04/2024,ZeltoLavrix_0002_0003_0000_CAB",
          bytes);
    EXPECT_TRUE(check(kUpdateLocalAndOnline, true));
    EXPECT_EQ(downloads(), 1);
    EXPECT_EQ(server.requests().back().query.queryItemValue("Ver"), "0002_0002_0049");
    const QString package = updates("ZeltoLavrix_0002_0003_0000.CAB");
    ASSERT_TRUE(QFile::exists(package));
    ASSERT_EQ(shell->calls.size(), 1u);
    const QString unpacked = shell->calls[0].workDir;
    EXPECT_TRUE(unpacked.startsWith(path("tmp") + "/ZeltoLavrix")) << unpacked.toStdString();
    EXPECT_EQ(shell->calls[0].file, unpacked + "/Setup.SH") << "setup.sh comes before install.run";
    EXPECT_EQ(shell->calls[0].parameters, programParameters());
    EXPECT_TRUE(QFile::exists(unpacked + "/bin/ZeltoLavrix"));
    EXPECT_EQ(main.unloads, 1);
    EXPECT_TRUE(prompt->shown().empty());
}

TEST_F(SoftwareUpdate, ADownloadOfAnotherSizeIsRefusedAndRemoved) {
    const QByteArray full(4000, 'f');
    serve("0002_0003_0000,4000,01/04/2024,ZeltoLavrix_0002_0003_0000.sh", full.left(1500), -2);
    EXPECT_FALSE(check(kUpdateOnlineOnly, true));
    EXPECT_GE(downloads(), 1);  // the network layer may send a broken transfer again
    const QString package = updates("ZeltoLavrix_0002_0003_0000.SH");
    EXPECT_FALSE(QFile::exists(package)) << "a truncated package must not be found again";
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(
        prompt->last().text,
        "Il file di aggiornamento scaricato non è integro: 1500 byte invece di 4000.\r\rFILE: " + package);
    EXPECT_TRUE(shell->calls.empty());
    EXPECT_EQ(main.unloads, 0);

    // Cut short while its length was announced: the transfer itself fails.
    serve("0002_0003_0000,4000,01/04/2024,ZeltoLavrix_0002_0003_0000.sh", full.left(1500), 4000);
    const QString error = errorOf([&] { check(kUpdateOnlineOnly, true); });
    EXPECT_TRUE(error.contains("Impossibile scaricare l'aggiornamento: ")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(package));
    EXPECT_TRUE(shell->calls.empty());
}

TEST_F(SoftwareUpdate, TheOpeningChecksLocalPackagesAndAStartedUpdateEndsIt) {
    InstallStartupUpdateCheck();
    // The first start confirms the work folder in the options dialog and creates the database there.
    ScopedModalScript options([](QDialog& d) {
        if (auto* o = qobject_cast<frmOptions*>(&d)) o->cmdOK()->click();
    });
    ASSERT_TRUE(OpenDatabase()) << "no package: the database opens";
    main.ReleaseDatabase();
    prompt->clear();
    writeFile(
        updates("ZeltoLavrix_" +
                UpdateVersionText(AppVersionMajor(), AppVersionMinor(), AppVersionRevision() + 1) + ".sh"),
        "#!/bin/sh\n");
    serve("0009_0000_0000,100,01/04/2024,x.sh");

    prompt->answer(MsgResult::No);
    EXPECT_TRUE(OpenDatabase()) << "a declined update lets the opening go on";
    EXPECT_TRUE(IsDatabaseOpen());
    main.ReleaseDatabase();

    prompt->answer(MsgResult::Yes);
    EXPECT_FALSE(OpenDatabase());
    EXPECT_FALSE(IsDatabaseOpen());
    EXPECT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(main.unloads, 1);
    EXPECT_EQ(prompt->shown().size(), 2u) << "no failure message after a started update";
    EXPECT_TRUE(server.requests().empty()) << "the opening looks at local packages only";
}

// The probes of a hostile update server: each ends within the deadline, in Italian, with nothing
// left in "Updates" to be offered again at the next start.
TEST_F(SoftwareUpdate, HostileServersEndWithinTheDeadlineAndLeaveNothingBehind) {
    const auto endless = &HttpTestServer::SendEndlessly;
    const auto drip = &HttpTestServer::Drip;
    const auto headerFlood = &HttpTestServer::FloodHeaders;
    const QByteArray line = "0002_0003_0000,1000,01/04/2024,ZeltoLavrix_0002_0003_0000.sh";
    // The line as the server gives it, and the package as a hostile server sends it.
    const auto hostile = [&](HttpTestServer::Response query, HttpTestServer::Response package) {
        server.route(kScript, [=](const HttpTestServer::Request& r) {
            return r.query.hasQueryItem("Get") ? package : query;
        });
    };
    const HttpTestServer::Response plainLine{200, line, "text/plain", -1, {}, false};
    struct Case {
        const char* what;
        HttpTestServer::Response query, package;
        const char* error;  // empty: no update found, nothing said
    };
    const Case cases[] = {
        {"endless line", {200, {}, "text/plain", -2, endless, false}, {}, ""},
        {"header flood on the line", {200, {}, "text/plain", -1, headerFlood, true}, {}, ""},
        {"download larger than announced",
         plainLine,
         {200, {}, "application/octet-stream", -2, endless, false},
         "il file supera i 1000 byte annunciati"},
        {"download dripping",
         plainLine,
         {200, {}, "application/octet-stream", 1000, drip, false},
         "il server non ha completato la risposta entro 2 secondi"},
        {"header flood on the download",
         plainLine,
         {200, {}, "text/plain", -1, headerFlood, true},
         "le intestazioni della risposta superano i 16 KB"},
    };
    AppUpdateClient client;
    client.SetDeadline(1500);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hostile(c.query, c.package);
        const auto start = std::chrono::steady_clock::now();
        const QString error = errorOf([&] {
            EXPECT_FALSE(CheckSoftwareUpdate(g_strRootDir, kApp, 2, 2, 49, kUpdateOnlineOnly, &client,
                                             nullptr, true, true));
        });
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
        if (*c.error)
            EXPECT_EQ(error,
                      "[APPLICATION UPDATE], Err.: 32755\rImpossibile scaricare l'aggiornamento: Errore di "
                      "comunicazione con il server di aggiornamento: " +
                          QString::fromUtf8(c.error));
        else
            EXPECT_EQ(error, "<no error>");
        EXPECT_TRUE(QDir(updates()).entryList(QDir::Files).isEmpty())
            << QDir(updates()).entryList().join(",").toStdString();
        EXPECT_TRUE(shell->calls.empty());
    }

    // A kind that cannot be started is refused before anything is fetched.
    server.route(kScript,
                 HttpTestServer::Response{
                     200, "0002_0003_0000,1000,01/04/2024,pacchetto.zip", "text/plain", -1, {}, false});
    const int fetched = downloads();
    EXPECT_FALSE(
        CheckSoftwareUpdate(g_strRootDir, kApp, 2, 2, 49, kUpdateOnlineOnly, &client, nullptr, true, true));
    EXPECT_EQ(downloads(), fetched);
    EXPECT_EQ(prompt->texts(),
              QStringList{"Formato del file di aggiornamento non supportato.\r\rFILE: pacchetto.zip"});
    EXPECT_TRUE(QDir(updates()).entryList(QDir::Files).isEmpty());
}

// A cabinet that cannot be unpacked is told in Italian, and a downloaded one does not stay.
TEST_F(SoftwareUpdate, ACabinetThatCannotBeUnpackedIsToldAndADownloadedOneRemoved) {
    const QString cab = path("build.cab");
    ASSERT_TRUE(WriteCabinet(cab.toStdString(),
                             {{"setup.sh", "#!/bin/sh\n"}, {"dati.bin", std::string(70000, 'd')}}));
    QFile in(cab);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray cut = in.readAll().left(40000);
    serve("0002_0003_0000," + QByteArray::number(cut.size()) + ",01/04/2024,ZeltoLavrix_0002_0003_0000_CAB",
          cut);
    EXPECT_FALSE(check(kUpdateOnlineOnly, true));
    const QString package = updates("ZeltoLavrix_0002_0003_0000.CAB");
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text,
              "Impossibile estrarre il file di aggiornamento: il cabinet è danneggiato o "
              "incompleto.\r\rFILE: " +
                  package);
    EXPECT_FALSE(QFile::exists(package));
    EXPECT_TRUE(shell->calls.empty());

    // A stored name longer than the system takes.
    prompt->clear();
    ASSERT_TRUE(WriteCabinet(cab.toStdString(),
                             {{std::string(300, 'n') + ".txt", "x"}, {"setup.sh", "#!/bin/sh\n"}}));
    QFile again(cab);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    const QByteArray bytes = again.readAll();
    serve("0002_0003_0000," + QByteArray::number(bytes.size()) + ",01/04/2024,ZeltoLavrix_0002_0003_0000_CAB",
          bytes);
    EXPECT_FALSE(check(kUpdateOnlineOnly, true));
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text,
              "Impossibile estrarre il file di aggiornamento: il cabinet contiene un nome di "
              "file troppo lungo.\r\rFILE: " +
                  package);
    EXPECT_FALSE(QFile::exists(package));
}

}  // namespace
