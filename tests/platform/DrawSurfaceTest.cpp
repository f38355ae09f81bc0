// Drawing surfaces and the printer registry: printable areas in millimetres, PDF printers and their
// documents, fonts on the installed faces at the same size on every device.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QWidget>

#include "base/AppError.h"
#include "base/ErrorOf.h"
#include "platform/Clock.h"
#include "platform/GuardedApplication.h"
#include "platform/PainterSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/PrinterSurface.h"
#include "platform/RecordingSurface.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

namespace {

class DrawSurfaceTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        PrinterRegistry::instance().reset(false);
    }
    void TearDown() override {
        PrinterRegistry::instance().reset(true);
        TempFolderTest::TearDown();
    }
};

TEST_F(DrawSurfaceTest, TheRegistryListsPrintersInOrderAndKeepsACurrentOne) {
    PrinterRegistry& printers = PrinterRegistry::instance();
    printers.reset(false, false);
    EXPECT_EQ(0, printers.count());
    EXPECT_EQ(nullptr, printers.current());
    printers.addPdfPrinter(QStringLiteral("Etichette"), QPageSize(QPageSize::A4), {},
                           path(QStringLiteral("a.pdf")));
    auto label = std::make_shared<RecordingSurface>(QSizeF(100, 60), QStringLiteral("Zebra"));
    printers.add(label);
    ASSERT_EQ(2, printers.count());
    EXPECT_EQ(QStringLiteral("Etichette"), printers.current()->deviceName());
    EXPECT_EQ(label, printers.find(QStringLiteral("Zebra")));
    EXPECT_EQ(nullptr, printers.find(QStringLiteral("zebra")));  // device names are exact
    EXPECT_EQ(nullptr, printers.item(2));
    printers.setCurrent(label);
    EXPECT_EQ(QStringLiteral("Printer"), printers.current()->className());
    printers.reset(false, false);
    EXPECT_EQ(0, printers.count());
}

// With no print queue the program's own PDF printer is there, and it is current; it comes after
// every other printer.
TEST_F(DrawSurfaceTest, TheProgramsPdfPrinterIsAlwaysListedAfterTheOthers) {
    PrinterRegistry& printers = PrinterRegistry::instance();
    ASSERT_EQ(1, printers.count());
    EXPECT_EQ(QStringLiteral("Stampa su PDF"), printers.item(0)->deviceName());
    EXPECT_TRUE(printers.item(0)->isPrinter());
    EXPECT_EQ(printers.item(0), printers.current());
    printers.addPdfPrinter(QStringLiteral("Etichette"), QPageSize(QPageSize::A4), {},
                           path(QStringLiteral("a.pdf")));
    ASSERT_EQ(2, printers.count());
    EXPECT_EQ(QStringLiteral("Stampa su PDF"), printers.item(1)->deviceName());
}

// Each document of the program's PDF printer goes, when it ends, to the file the user names: a name
// without extension gets ".pdf", an existing file is replaced only when the user says so, a file that
// cannot be written is said and asked again, and a cancelled chooser drops the document.
TEST_F(DrawSurfaceTest, TheProgramsPdfPrinterWritesEachDocumentWhereTheUserSays) {
    ScopedRecordingPrompt prompt;
    QWidget window;
    window.show();
    Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30)));
    auto pdf = PrinterRegistry::instance().find(QStringLiteral("Stampa su PDF"));
    ASSERT_TRUE(pdf);
    pdf->endDoc();
    EXPECT_TRUE(prompt->shown().empty());  // nothing printed, nothing asked

    pdf->print(QStringLiteral("uno"));
    prompt->answerPath(path(QStringLiteral("uno")));
    pdf->endDoc();
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(RecordingPrompt::Kind::SaveFile, prompt->last().kind);
    EXPECT_EQ(QStringLiteral("Stampa su PDF"), prompt->last().title);
    EXPECT_TRUE(
        prompt->last().dir.endsWith(QStringLiteral("/Stampa 2024-03-05 10.20.30.pdf|Documento PDF (*.pdf)")))
        << prompt->last().dir.toStdString();
    QFile first(path(QStringLiteral("uno.pdf")));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray written = first.readAll();
    first.close();
    EXPECT_TRUE(written.startsWith("%PDF"));

    prompt->clear();
    pdf->print(QStringLiteral("due"));
    prompt->answerPath(path(QStringLiteral("uno.pdf")));
    prompt->answer(MsgResult::No);
    prompt->answerPath(path(QStringLiteral("manca/due.pdf")));
    prompt->answerPath(path(QStringLiteral("due.pdf")));
    pdf->endDoc();
    QStringList shown;
    for (const auto& s : prompt->shown())
        shown << (s.kind == RecordingPrompt::Kind::SaveFile
                      ? QStringLiteral("file:") + s.dir.section(u'|', 0, 0)
                      : QString::number(s.style) + u':' + s.text);
    EXPECT_EQ(QStringList({QStringLiteral("file:") + path(QStringLiteral("Stampa 2024-03-05 10.20.30.pdf")),
                           QStringLiteral("308:Il file esiste già...\r\rVuoi sostituirlo ?"),
                           QStringLiteral("file:") + path(QStringLiteral("Stampa 2024-03-05 10.20.30.pdf")),
                           QStringLiteral("16:Impossibile scrivere il file \"") +
                               path(QStringLiteral("manca/due.pdf")) + QStringLiteral("\"."),
                           QStringLiteral("file:") + path(QStringLiteral("Stampa 2024-03-05 10.20.30.pdf"))}),
              shown);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(written, first.readAll());
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("due.pdf"))));

    prompt->clear();
    pdf->print(QStringLiteral("tre"));
    pdf->endDoc();
    EXPECT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(QStringList({QStringLiteral("due.pdf"), QStringLiteral("uno.pdf")}),
              QDir(path()).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name));
}

// With no window to ask, each document goes into the user's documents folder, named after the date
// and time.
TEST_F(DrawSurfaceTest, WithNoWindowTheProgramsPdfPrinterWritesIntoTheDocumentsFolder) {
    ScopedRecordingPrompt prompt;
    const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", path(QStringLiteral("casa")).toUtf8());
    qputenv("XDG_CONFIG_HOME", path(QStringLiteral("casa/.config")).toUtf8());
    Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30)));
    auto pdf = PrinterRegistry::instance().find(QStringLiteral("Stampa su PDF"));
    ASSERT_TRUE(pdf);
    for (const char* text : {"uno", "due"}) {
        pdf->print(QString::fromLatin1(text));
        pdf->endDoc();
    }
    // A documents folder that cannot be written is told as any failure with nobody at the program.
    QDir().mkpath(path(QStringLiteral("tetto")));
    QFile file(path(QStringLiteral("tetto/Documents")));  // a file where the folder would be
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QStringList told;
    const GuardedApplication::Reporter heard =
        GuardedApplication::SetEscapedErrorReporter([&](const AppError& e) { told << e.description(); });
    qputenv("HOME", path(QStringLiteral("tetto")).toUtf8());
    qputenv("XDG_CONFIG_HOME", path(QStringLiteral("tetto/.config")).toUtf8());
    const QString blocked = path(QStringLiteral("tetto/Documents/Stampa 2024-03-05 10.20.30.pdf"));
    pdf->print(QStringLiteral("tre"));
    pdf->endDoc();
    GuardedApplication::SetEscapedErrorReporter(heard);
    qputenv("HOME", home);
    config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(
        QStringList{QStringLiteral("Impossibile scrivere il file \"") + blocked + QStringLiteral("\".")},
        told);
    EXPECT_EQ(QStringList({QStringLiteral("Stampa 2024-03-05 10.20.30 (2).pdf"),
                           QStringLiteral("Stampa 2024-03-05 10.20.30.pdf")}),
              QDir(path(QStringLiteral("casa/Documents"))).entryList(QDir::Files, QDir::Name));
}

TEST_F(DrawSurfaceTest, APdfPrinterGivesItsPrintableAreaAndWritesItsPages) {
    auto a4 = PrinterRegistry::instance().addPdfPrinter(QStringLiteral("A4"), QPageSize(QPageSize::A4), {},
                                                        path(QStringLiteral("a4.pdf")));
    EXPECT_EQ(QSizeF(210, 297), a4->physicalSize());  // exact: single-precision page tests rely on it
    a4->setOrientation(2);
    EXPECT_EQ(QSizeF(297, 210), a4->physicalSize());
    EXPECT_EQ(2, a4->orientation());
    a4->setOrientation(1);
    auto margins = std::make_shared<PrinterSurface>(QStringLiteral("M"), QPageSize(QPageSize::A4),
                                                    QMarginsF(10, 5, 10, 5), path(QStringLiteral("m.pdf")));
    EXPECT_EQ(QSizeF(190, 287), margins->physicalSize());
    EXPECT_EQ(QSizeF(210, 297), margins->paperSize());

    a4->print(QStringLiteral("pagina uno"));
    a4->newPage();
    a4->box(QPointF(10, 10), QPointF(50, 30));
    a4->endDoc();
    EXPECT_EQ(2, a4->pageCount());
    QFile pdf(path(QStringLiteral("a4.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    // The next output starts another document; a page break with nothing after it adds no page.
    a4->newPage();
    a4->endDoc();
    EXPECT_EQ(1, a4->pageCount());
}

TEST_F(DrawSurfaceTest, APrinterThatCannotStartFailsWithThePrinterError) {
    auto lost = std::make_shared<PrinterSurface>(QStringLiteral("Persa"), QPageSize(QPageSize::A4),
                                                 QMarginsF(), path(QStringLiteral("manca/cartella/x.pdf")));
    EXPECT_EQ(482, ErrorOf([&] { lost->box(QPointF(0, 0), QPointF(5, 5)); }));
    EXPECT_EQ(TurnedText::NoContext, lost->printTurned(0, 0, QStringLiteral("x"), false, 0));
    EXPECT_EQ(383, ErrorOf([&] { lost->setPhysicalSize(QSizeF(10, 10)); }));
}

// Text is measured on the device it is drawn on, at its real size: the same width in millimetres on
// a 600 dpi printer, a 96 dpi picture and a vector picture, in the installed faces the layouts name.
TEST_F(DrawSurfaceTest, FontsKeepTheirSizeOnEveryDeviceInTheInstalledFaces) {
    for (const char* face :
         {"Arial", "MS San Serif", "MS Sans Serif", "Times New Roman", "Courier New", "Verdana"})
        EXPECT_TRUE(QFontInfo(QFont(InstalledFontFamily(QString::fromLatin1(face)))).exactMatch()) << face;
    auto printer = std::make_shared<PrinterSurface>(QStringLiteral("P"), QPageSize(QPageSize::A4),
                                                    QMarginsF(), path(QStringLiteral("p.pdf")));
    auto image = PainterSurface::onImage(QSizeF(50, 50), 96);
    auto picture = PainterSurface::onPicture(QSizeF(50, 50));
    const QString text = QStringLiteral("Commessa 2024/0017");
    SurfaceFont font;
    font.size = 10;
    for (DrawSurface* s : {static_cast<DrawSurface*>(printer.get()), static_cast<DrawSurface*>(image.get()),
                           static_cast<DrawSurface*>(picture.get())}) {
        s->setFont(font);
        SCOPED_TRACE(s->className().toStdString());
        // Arial's "M" is 0.833 em, its lines 1.15 em; 10 points are 3.53 mm.
        EXPECT_NEAR(2.94, s->textWidth(QStringLiteral("M")), 0.03);
        EXPECT_NEAR(4.06, s->textHeight(text), 0.05);
        EXPECT_NEAR(printer->textWidth(text), s->textWidth(text), 0.2);
    }
    // Courier is fixed-pitch: 0.6 em a character.
    font.name = QStringLiteral("Courier New");
    printer->setFont(font);
    EXPECT_NEAR(18 * 0.6 * 10 * 25.4 / 72, printer->textWidth(text), 0.3);
    font.size = 0;
    EXPECT_EQ(380, ErrorOf([&] { printer->setFont(font); }));
}

}  // namespace
