// What the software update stands on: cabinets unpacked keeping their folders and refused when a
// stored path leaves the unpack folder, and the update server's client over HTTP on loopback.
#include <QDir>
#include <QFile>

#include <sys/resource.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "platform/AppUpdateClient.h"
#include "platform/CabinetFile.h"
#include "support/CabinetWriter.h"
#include "support/HttpTestServer.h"
#include "support/TestEnvironment.h"

namespace {

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray readAll(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
}

// Every file under a folder, relative, sorted.
QStringList filesUnder(const QString& folder) {
    QStringList out;
    QDir dir(folder);
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (f.isDir())
            for (const QString& sub : filesUnder(f.filePath()))
                out << f.fileName() + "/" + sub;
        else
            out << f.fileName();
    }
    out.sort();
    return out;
}

TEST(CabinetPaths, StoredNamesBecomePathsBelowTheFolderOrAreRefused) {
    struct Case {
        const char* stored;
        const char* path;  // empty: refused
    };
    const Case cases[] = {
        {"setup.sh", "setup.sh"},
        {"bin\\ZeltoLavrix", "bin/ZeltoLavrix"},
        {"a/b\\c.txt", "a/b/c.txt"},
        {".\\setup.sh", "setup.sh"},
        {"a\\\\b", "a/b"},
        {"..\\evil.sh", ""},
        {"../evil.sh", ""},
        {"a\\..\\..\\evil.sh", ""},
        {"a/../b", ""},
        {"\\evil.sh", ""},
        {"/etc/evil", ""},
        {"C:\\evil.sh", ""},
        {"c:evil", ""},
        {"", ""},
        {".", ""},
        {"..", ""},
        {"..evil", "..evil"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CabinetFile::SafeRelativePath(c.stored), c.path) << c.stored;
}

class Cabinets : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        QDir().mkpath(path("unpack"));
    }
    bool extract(const QString& cab, std::string& badName, std::string& error) {
        return CabinetFile::Extract(cab.toStdString(), path("unpack").toStdString(), badName, error);
    }
};

TEST_F(Cabinets, UnpackingKeepsTheStoredFolders) {
    const QString cab = path("pacchetto.cab");
    ASSERT_TRUE(WriteCabinet(cab.toStdString(), {{"setup.sh", "#!/bin/sh\necho ok\n"},
                                                 {"bin\\ZeltoLavrix", std::string(70000, 'x')},
                                                 {"doc\\note\\leggimi.txt", "ciao"}}));
    std::vector<CabinetFile::Entry> entries;
    std::string error, badName;
    ASSERT_TRUE(CabinetFile::List(cab.toStdString(), entries, error)) << error;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "bin\\ZeltoLavrix");
    EXPECT_EQ(entries[1].size, 70000u);
    ASSERT_TRUE(extract(cab, badName, error)) << error;
    EXPECT_EQ(filesUnder(path("unpack")),
              QStringList({"bin/ZeltoLavrix", "doc/note/leggimi.txt", "setup.sh"}));
    EXPECT_EQ(readAll(path("unpack/setup.sh")), "#!/bin/sh\necho ok\n");
    EXPECT_EQ(readAll(path("unpack/bin/ZeltoLavrix")), QByteArray(70000, 'x'));
}

TEST_F(Cabinets, AnEscapingPathRefusesTheWholeCabinetAndWritesNothing) {
    const char* escapes[] = {"..\\evil.sh", "sub\\..\\..\\evil.sh", "/tmp/evil.sh"};
    for (const char* escape : escapes) {
        SCOPED_TRACE(escape);
        const QString cab = path("cattivo.cab");
        ASSERT_TRUE(WriteCabinet(cab.toStdString(), {{"setup.sh", "buono"}, {escape, "cattivo"}}));
        std::string badName, error;
        EXPECT_FALSE(extract(cab, badName, error));
        EXPECT_EQ(QString::fromStdString(badName).replace('\\', '/'), QString(escape).replace('\\', '/'));
        EXPECT_TRUE(filesUnder(path("unpack")).isEmpty())
            << filesUnder(path("unpack")).join(",").toStdString();
        EXPECT_FALSE(QFile::exists(path("evil.sh")));
    }
}

TEST_F(Cabinets, AFileThatIsNoCabinetIsAnError) {
    QFile f(path("falso.cab"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("MSCF but not really a cabinet at all");
    f.close();
    std::string badName, error;
    EXPECT_FALSE(extract(path("falso.cab"), badName, error));
    EXPECT_TRUE(badName.empty());
    EXPECT_EQ(error, "il file non è un cabinet valido oppure è incompleto");
    EXPECT_FALSE(extract(path("mancante.cab"), badName, error));
}

class UpdateClient : public TempFolderTest {
  protected:
    QString script() const { return server.baseUrl() + "/QoLib/GetAppUpdateFile.asp"; }
    HttpTestServer server;
    AppUpdateClient client;
};

TEST_F(UpdateClient, TheQueryCarriesApplicationAndVersionAndGivesTheServersLine) {
    server.route("/QoLib/GetAppUpdateFile.asp", [](const HttpTestServer::Request& r) {
        HttpTestServer::Response answer;
        if (r.query.queryItemValue("Ver") == "0002_0002_0049")
            answer.body = "0002_0002_0050,1234,15/03/2024,ZeltoLavrix_0002_0002_0050.cab\r\n";
        return answer;
    });
    EXPECT_EQ(client.GetAppUpdateFile(script(), "ZeltoLavrix", 2, 2, 49, {}),
              "0002_0002_0050,1234,15/03/2024,ZeltoLavrix_0002_0002_0050.cab");
    EXPECT_EQ(client.GetAppUpdateFile(script(), "ZeltoLavrix", 2, 2, 50, {}), "") << "nothing newer";
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].query.queryItemValue("App"), "ZeltoLavrix");
    EXPECT_FALSE(requests[0].query.hasQueryItem("Get"));
}

TEST_F(UpdateClient, ADownloadAppearsOnlyWhenComplete) {
    const QByteArray package(300000, 'p');
    server.route("/QoLib/GetAppUpdateFile.asp",
                 HttpTestServer::Response{200, package, "application/octet-stream", -1});
    std::vector<int64_t> seen;
    const QString file = path("ZeltoLavrix_0002_0002_0050.CAB");
    EXPECT_EQ(client.GetAppUpdateFile(script(), "ZeltoLavrix", 2, 2, 49, file,
                                      [&](int64_t received, int64_t) {
                                          seen.push_back(received);
                                          return true;
                                      }),
              "");
    EXPECT_EQ(readAll(file), package);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 300000);
    EXPECT_EQ(server.requests().back().query.queryItemValue("Get"), "1");
}

TEST_F(UpdateClient, FailedTransfersRaiseAndLeaveNoFile) {
    struct Case {
        const char* what;
        HttpTestServer::Response response;
        bool stop;
    };
    const Case cases[] = {
        {"not found", {404, "no", "text/plain", -1}, false},
        {"cut short", {200, QByteArray(1000, 'c'), "application/octet-stream", 5000}, false},
        {"stopped by the user", {200, QByteArray(200000, 's'), "application/octet-stream", -1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server.route("/QoLib/GetAppUpdateFile.asp", c.response);
        const QString file = path("pacchetto.cab");
        EXPECT_THROW(client.GetAppUpdateFile(script(), "ZeltoLavrix", 2, 2, 49, file,
                                             [&](int64_t, int64_t) { return !c.stop; }),
                     AppError);
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_TRUE(QDir(path()).entryList({"pacchetto*"}, QDir::Files).isEmpty());
    }
    // An address that is no web address, and a server that is not there.
    EXPECT_THROW(client.GetAppUpdateFile("ftp://127.0.0.1/x.asp", "ZeltoLavrix", 2, 2, 49, {}), AppError);
    EXPECT_THROW(client.GetAppUpdateFile("http://127.0.0.1:1/x.asp", "ZeltoLavrix", 2, 2, 49, {}), AppError);
}

// Servers that never stop, drip, flood their headers or send more than they announced: each
// exchange ends within its deadline with the reason in Italian, holding little memory and leaving
// no file.
TEST_F(UpdateClient, HostileServersEndWithinTheDeadlineSayingWhy) {
    const auto endless = &HttpTestServer::SendEndlessly;
    const auto drip = &HttpTestServer::Drip;
    const auto headerFlood = &HttpTestServer::FloodHeaders;
    struct Case {
        const char* what;
        HttpTestServer::Response response;
        bool download;
        const char* reason;
    };
    HttpTestServer::Response noLength{200, {}, "application/octet-stream", -2, endless, false};
    HttpTestServer::Response dripping{200, {}, "application/octet-stream", 1000, drip, false};
    HttpTestServer::Response flood{200, {}, "text/plain", -1, headerFlood, true};
    HttpTestServer::Response announcedLarge{
        200, QByteArray(10, 'x'), "application/octet-stream", 2000000000, {}, false};
    const Case cases[] = {
        {"endless line", noLength, false, "la risposta supera i 4 KB"},
        {"line dripping", dripping, false, "il server non ha completato la risposta entro 2 secondi"},
        {"header flood", flood, false, "le intestazioni della risposta superano i 16 KB"},
        {"endless download", noLength, true, "il file supera i 1000 byte annunciati"},
        {"download announced larger", announcedLarge, true, "il file supera i 1000 byte annunciati"},
        {"download dripping", dripping, true, "il server non ha completato la risposta entro 2 secondi"},
        {"header flood on a download", flood, true, "le intestazioni della risposta superano i 16 KB"},
    };
    // Deadlines of 2.4 s and 2.46 s (the download is granted more) are told as the 2 seconds they are.
    client.SetDeadline(2400);
    const QString file = path("pacchetto.cab");
    const long before = peakKilobytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server.route("/QoLib/GetAppUpdateFile.asp", c.response);
        const auto start = std::chrono::steady_clock::now();
        QString description;
        try {
            client.GetAppUpdateFile(script(), "ZeltoLavrix", 2, 2, 49, c.download ? file : QString(), {},
                                    c.download ? 1000 : -1);
        } catch (const AppError& e) {
            description = e.description();
        }
        EXPECT_EQ(description, QString("Errore di comunicazione con il server di aggiornamento: ") +
                                   QString::fromUtf8(c.reason));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3500));
        EXPECT_TRUE(QDir(path()).entryList({"pacchetto*"}, QDir::Files).isEmpty());
    }
    EXPECT_LT(peakKilobytes() - before, 50 * 1024);
}

}  // namespace
