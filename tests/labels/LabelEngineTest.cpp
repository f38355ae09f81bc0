// The label engine on recording surfaces: sheet geometry and pages, text wrapping, the drawing members
// and the engine's own errors.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "LabelFixture.h"
#include "base/ErrorOf.h"
#include "platform/modOSWinUtil.h"
#include "support/PipeWatchdog.h"

namespace {

// Where each label's text landed ("x,y"), "|" for a new page, "red" for a preview outline.
QString placements(const QStringList& log) {
    QStringList out;
    for (const QString& line : log) {
        const QStringList f = line.split(u' ');
        if (f[0] == QLatin1String("print"))
            out << f[1] + u',' + f[2];
        else if (f[0] == QLatin1String("newpage"))
            out << QStringLiteral("|");
        else if (f[0] == QLatin1String("box") && f[5] == QLatin1String("255"))
            out << QStringLiteral("red");
    }
    return out.join(u' ');
}

TEST_F(LabelTest, LabelsGoAcrossThenDownThenOnNewPages) {
    struct Row {
        const char* name;
        QSizeF page;  // printable area of the recording printer
        bool preview;
        float height, width, top, left;
        int16_t columns;
        int labels;
        QString placed;
        QString pageCounts;  // PageLabelCount after each NextLabel
    } rows[] = {
        {"three columns",
         {90, 60},
         false,
         20,
         30,
         5,
         0,
         3,
         7,
         QStringLiteral("0,5 30,5 60,5 0,25 30,25 60,25 | 0,5"),
         QStringLiteral("1 2 3 4 5 0 1")},
        {"A4 two columns",
         {210, 297},
         false,
         140,
         100,
         5,
         5,
         2,
         5,
         QStringLiteral("5,5 105,5 5,145 105,145 | 5,5"),
         QStringLiteral("1 2 3 0 1")},
        {"half a sheet",
         {210, 297},
         false,
         148.5f,
         210,
         0,
         0,
         1,
         3,
         QStringLiteral("0,0 | 0,0 | 0,0 |"),
         QStringLiteral("0 0 0")},
        // 29.7 ten times is 297.00001 in single precision: nine a page (a double sum would fit ten).
        {"tenths of A4",
         {210, 297},
         false,
         29.7f,
         210,
         0,
         0,
         1,
         10,
         QStringLiteral("0,0 0,29.7 0,59.4 0,89.1 0,118.8 0,148.5 0,178.2 0,207.9 0,237.6 | 0,0"),
         QStringLiteral("1 2 3 4 5 6 7 8 0 1")},
        {"no columns is one",
         {100, 100},
         false,
         30,
         50,
         2,
         1,
         0,
         3,
         QStringLiteral("1,2 1,32 1,62 |"),
         QStringLiteral("1 2 0")},
        // A preview page is one row: further rows come back over it, each label outlined in red.
        {"preview",
         {100, 100},
         true,
         30,
         40,
         5,
         3,
         2,
         4,
         QStringLiteral("3,5 red 43,5 red 3,5 red 43,5 red"),
         QStringLiteral("1 0 1 0")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        PrinterRegistry::instance().reset(false);
        auto printer = addPrinter(r.page);
        auto preview = std::make_shared<RecordingSurface>(QSizeF(100, 100));
        auto engine = std::make_shared<clsLabelPrint>();
        engine->SetParameter(r.preview ? Variant(ObjectRef(preview)) : Variant("Etichette"), r.height,
                             r.width, r.top, r.left, r.columns);
        QStringList counts;
        for (int i = 0; i < r.labels; ++i) {
            engine->TxtOut(0, 0, QStringLiteral("L"));
            engine->NextLabel();
            counts << QString::number(engine->PageLabelCount());
        }
        EXPECT_EQ(r.placed, placements((r.preview ? preview : printer)->log));
        EXPECT_EQ(r.pageCounts, counts.join(u' '));
        EXPECT_EQ(r.preview, engine->Preview());
    }
}

TEST_F(LabelTest, SetUpPreviewSkipsCopiesAndTheEndOfTheDocument) {
    auto printer = addPrinter(QSizeF(200, 100));
    clsLabelPrint engine;
    // A size of 0 takes the printable page, in the orientation the printer has at that moment.
    engine.SetParameter(Variant("Nessuna"), 0, 0, 0, 0, 2, false, true);
    EXPECT_EQ(QStringLiteral("orientation 2"), printer->log.value(0));
    EXPECT_EQ(2, engine.NextCopy());
    EXPECT_EQ(3, engine.NextCopy());
    engine.SetCopyCount(32767);
    EXPECT_EQ(6, ErrorOf([&] { engine.NextCopy(); }));

    // IgnoreLabel keeps the position once.
    engine.SetIgnoreLabel(true);
    engine.NextLabel();
    EXPECT_FALSE(engine.IgnoreLabel());
    EXPECT_EQ(0, engine.PageLabelCount());
    engine.TxtOut(0, 0, QStringLiteral("a"));
    engine.NextLabel();
    engine.TxtOut(0, 0, QStringLiteral("b"));
    EXPECT_EQ(QStringLiteral("0,0 200,0"), placements(printer->log));  // width 200: the portrait width

    // Without auto-end the document stays open and the count stays; a new set-up goes back to the start.
    engine.EndLabels();
    EXPECT_EQ(1, engine.PageLabelCount());
    EXPECT_FALSE(printer->log.contains(QStringLiteral("enddoc")));
    engine.SetParameter(Variant("Etichette"), 10, 20, 0, 0, 2, true, false);
    EXPECT_EQ(0, engine.PageLabelCount());
    EXPECT_EQ(1, engine.CopyCount());
    engine.TxtOut(0, 0, QStringLiteral("c"));
    engine.EndLabels();
    EXPECT_EQ(QStringLiteral("enddoc"), printer->log.last());
    printer->log.clear();
    {
        clsLabelPrint released;
        released.SetParameter(Variant("Etichette"), 10, 20);
    }
    EXPECT_EQ(QStringLiteral("enddoc"), printer->log.value(0));  // releasing the engine ends the document
}

TEST_F(LabelTest, ScriptVariablesOutliveLabelsAndSetUps) {
    auto printer = addPrinter(QSizeF(100, 100));
    clsLabelPrint engine;
    engine.SetParameter(Variant("Etichette"), 10, 10);
    ScriptVariables& v = engine.Vars();
    v.let(Variant("Totale"), Variant(int32_t(5)));
    v.let(Variant("nome"), Variant("Rossi"));
    EXPECT_EQ(5, v.get(Variant("TOTALE"), Variant(int16_t(0))).toLong());
    EXPECT_EQ(QStringLiteral("Rossi"), v.get(Variant(int16_t(2)), Variant()).toText());
    EXPECT_TRUE(v.get(Variant("manca"), Variant()).isEmpty());
    EXPECT_TRUE(v.get(Variant(int16_t(3)), Variant()).isEmpty());
    v.let(Variant("totale"), Variant(int32_t(6)));  // replaced: moves to the end
    EXPECT_EQ(6, v.get(Variant(int16_t(2)), Variant()).toLong());
    engine.NextLabel();
    engine.EndLabels();
    engine.SetParameter(Variant("Etichette"), 10, 10);
    EXPECT_EQ(2, v.count());
    engine.ResetVars();
    EXPECT_EQ(0, v.count());
}

TEST_F(LabelTest, WithoutAPrinterTheSheetSizeCannotBeKnown) {
    PrinterRegistry::instance().reset(false, false);
    clsLabelPrint engine;
    try {
        engine.SetParameter(Variant(""), 0, 50);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(-2147188749, e.number());
        EXPECT_EQ(
            QStringLiteral("[clsLabelPrint], Err.: 32755\rNessuna stampante configurata.\r\rImpossibile "
                           "stabilire le dimensioni predefinite del foglio..."),
            e.description());
    }
    // With its sizes given it still needs a printer to print on.
    try {
        engine.SetParameter(Variant(""), 20, 50);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(QStringLiteral("[clsLabelPrint], Err.: 32755\rNessuna stampante configurata."),
                  e.description());
    }
    EXPECT_EQ(91, ErrorOf([&] { engine.BoxOut(0, 0, 1, 1); }));
    EXPECT_TRUE(engine.Preview());
    // A preview needs no printer when its sizes are given.
    engine.SetParameter(Variant(ObjectRef(std::make_shared<RecordingSurface>(QSizeF(10, 10)))), 20, 50);
    EXPECT_TRUE(engine.Preview());
}

// 2 mm a character and 4 mm a line: the lines each call prints, where, and the widest width.
TEST_F(LabelTest, TextWrapsAtSpacesOrInsideWordsAndKeepsHardBreaks) {
    struct Row {
        QString text;
        float wrap;
        bool keep;
        QString lines;
        float widest;
    } rows[] = {
        {QStringLiteral("ABCDEFGHIJKLMNOP"), 11, false,
         QStringLiteral("3,2 ABCDE|3,6 FGHIJ|3,10 KLMNO|3,14 P"), 10},
        {QStringLiteral("uno due tre quattro"), 12, false,
         QStringLiteral("3,2 uno|3,6 due|3,10 tre|3,14 quattr|3,18 o"), 12},
        {QStringLiteral("due parole"), 14, false, QStringLiteral("3,2 due|3,6 parole"), 12},
        {QStringLiteral("abc   def"), 8, false, QStringLiteral("3,2 abc|3,6 def"), 6},
        {QStringLiteral("a\r\n\r\nb"), 0, true, QStringLiteral("3,2 a|3,6 b"), 2},
        {QStringLiteral("a\r\n\r\nb"), 0, false, QStringLiteral("3,2 a  b"), 8},
        {QStringLiteral("a\n\n\n\nb"), 0, true, QStringLiteral("3,2 a|3,6 b"), 2},
        {QStringLiteral("\rX"), 0, true, QStringLiteral("3,6 X"), 2},
        {QStringLiteral("riga\r"), 0, true, QStringLiteral("3,2 riga"), 8},
        {QStringLiteral("lunga riga\r\nbreve"), 12, true, QStringLiteral("3,2 lunga|3,6 riga|3,10 breve"),
         10},
        {QStringLiteral("whole text"), 0, false, QStringLiteral("3,2 whole text"), 20},
        // Not even one character fits: one a line, and the call ends.
        {QStringLiteral("ABC"), 1, false, QStringLiteral("3,2 A|3,6 B|3,10 C"), 2},
        // A negative wrap counts as none, also before a hard break.
        {QStringLiteral("ab\rcdef"), -5, true, QStringLiteral("3,2 ab|3,6 cdef"), 8},
        {QStringLiteral("abcdef"), -5, false, QStringLiteral("3,2 abcdef"), 12},
        {QString(), 10, false, QString(), 0},
    };
    auto printer = addPrinter(QSizeF(200, 200));
    clsLabelPrint engine;
    engine.SetParameter(Variant("Etichette"), 100, 100, 1, 2);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text.toStdString());
        printer->log.clear();
        EXPECT_EQ(r.widest, engine.TxtOut(1, 1, r.text, r.wrap, r.keep));
        QStringList lines;
        for (const QString& l : printer->log)
            lines << l.section(u' ', 1, 1) + u',' + l.section(u' ', 2, 2) + u' ' + l.section(u' ', 3);
        EXPECT_EQ(r.lines, lines.join(u'|'));
    }
    printer->log.clear();
    EXPECT_EQ(8.0f, engine.TxtOutR(1, 20, QStringLiteral("fine")));
    EXPECT_EQ(0.0f, engine.TxtOutR(1, 20, QString()));
    EXPECT_EQ(QStringList{QStringLiteral("print 14 2 fine")}, printer->log);
}

TEST_F(LabelTest, DrawingMembersUseTheirBoxAndSegmentForms) {
    auto printer = addPrinter(QSizeF(200, 200));
    clsLabelPrint engine;
    engine.SetParameter(Variant("Etichette"), 100, 100, 1, 2);
    printer->log.clear();
    engine.LineOut(10, 5, 10, 50);
    engine.LineOut(10, 5, 20, 50);
    engine.LineOut(10, 5, 30, 5);
    engine.BoxOut(0, 0, 10, 10, true);
    EXPECT_EQ(1, printer->fillStyle());
    engine.BoxOut(0, 0, 4, 6);
    EXPECT_EQ(1, printer->fillStyle());
    engine.SetColor(255);
    engine.CircleOut(5, 5, 3, true);
    EXPECT_EQ(1, printer->fillStyle());
    EXPECT_EQ(17.0f, engine.Barcode128bOut(20, 10, 8, 0.25f, QStringLiteral("abc")));
    EXPECT_EQ(QStringLiteral("fill 12 21 12.5 29 0"), printer->log.value(9));
    EXPECT_EQ(10.0f, engine.TxtOutV(4, 6, QStringLiteral("ABCDE")));
    EXPECT_EQ(10.0f, engine.TxtOutV(4, 6, QStringLiteral("ABCDE"), true, true));
    const QStringList expected = {
        QStringLiteral("box 7 11 52 11 0 fs=1 fc=0"),   QStringLiteral("line 7 11 52 21 0"),
        QStringLiteral("box 7 11 7 31 0 fs=1 fc=0"),    QStringLiteral("box 2 1 12 11 0 fs=0 fc=0"),
        QStringLiteral("box 2 1 8 1 0 fs=1 fc=0"),      QStringLiteral("box 2 5 8 5 0 fs=1 fc=0"),
        QStringLiteral("box 2 1 2 5 0 fs=1 fc=0"),      QStringLiteral("box 8 1 8 5 0 fs=1 fc=0"),
        QStringLiteral("circle 7 6 3 255 fs=0 fc=255"),
    };
    EXPECT_EQ(expected.join(u'\n').toStdString(), printer->log.mid(0, 9).join(u'\n').toStdString());
    // Turned text: reading down at its place, or up and raised by its length less a line (10 - 4).
    EXPECT_EQ(QStringLiteral("turned 8 5 down 255 ABCDE"), printer->log.value(printer->log.size() - 2));
    EXPECT_EQ(QStringLiteral("turned 8 -1 up 255 ABCDE"), printer->log.last());
}

TEST_F(LabelTest, FontsTakeThePreviewFactor) {
    auto printer = addPrinter(QSizeF(200, 200));
    clsLabelPrint engine;
    engine.SetParameter(Variant("Etichette"), 100, 100);
    engine.SetFont(10, true, false, QStringLiteral("Verdana"), true);
    EXPECT_EQ(QStringLiteral("font Verdana 10 bold underline"), printer->log.last());
    engine.SetFont(12);  // the face stays, the flags go back to off
    EXPECT_EQ(QStringLiteral("font Verdana 12"), printer->log.last());

    auto preview = std::make_shared<RecordingSurface>(QSizeF(100, 100));
    engine.SetParameter(Variant(ObjectRef(preview)), 30, 40, 10, 5, 2);
    // One row of labels with its margins: 85 x 40 units plus a spare millimetre, at 95 % of the screen.
    const QSizeF screen = ScreenSizeMillimetres();
    EXPECT_EQ(QSizeF(86, 41), preview->scaleSize());
    EXPECT_NEAR(screen.width() * 0.95, preview->physicalSize().width(), 1e-6);
    EXPECT_NEAR(preview->physicalSize().width() * 40 / 85, preview->physicalSize().height(), 1e-6);
    preview->setScaleSize(QSizeF(preview->physicalSize().width() / 2, preview->physicalSize().height() / 2));
    engine.SetFont(10, false, false, QStringLiteral("Arial"));
    EXPECT_EQ(QStringLiteral("font Arial 20"), preview->log.last());
}

TEST_F(LabelTest, PicturesAtTheirSizeStretchedOrCroppedAndMissingOnesTold) {
    auto printer = addPrinter(QSizeF(200, 200));
    // 100 x 50 pixels at 254 dpi: 10 x 5 mm.
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.setDotsPerMeterX(10000);
    picture.setDotsPerMeterY(10000);
    ASSERT_TRUE(picture.save(path(QStringLiteral("program/logo.png"))));
    clsLabelPrint engine;
    engine.SetParameter(Variant("Etichette"), 100, 100, 1, 2);
    printer->log.clear();
    engine.ImageOut(QStringLiteral("logo.png"), 3, 4);                 // its own size
    engine.ImageOut(QStringLiteral("logo.png"), 3, 4, 8, 20);          // stretched
    engine.ImageOut(QStringLiteral("logo.png"), 3, 4, 3, 4, false);    // its top-left 4 x 3 mm
    engine.ImageOut(QStringLiteral("logo.png"), 3, 4, 30, 40, false);  // no larger than itself
    engine.ImageOut(QStringLiteral("logo.png"), 3, 4, 0, 40, true);    // a size of 0: its own size
    const QStringList expected = {
        QStringLiteral("picture 6 4 10 5 from 0 0 100 50"),
        QStringLiteral("picture 6 4 20 8 from 0 0 100 50"),
        QStringLiteral("picture 6 4 4 3 from 0 0 40 30"),
        QStringLiteral("picture 6 4 10 5 from 0 0 100 50"),
        QStringLiteral("picture 6 4 10 5 from 0 0 100 50"),
    };
    EXPECT_EQ(expected.join(u'\n').toStdString(), printer->log.join(u'\n').toStdString());

    printer->log.clear();
    engine.ImageOut(QStringLiteral("manca.png"), 0, 0);
    EXPECT_TRUE(printer->log.isEmpty());
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(QStringLiteral("Impossibile accedere al file dell'immagine:\rmanca.png"), prompt->last().text);
    EXPECT_EQ(0, prompt->last().style);  // OK only, no icon
    QFile notPicture(path(QStringLiteral("program/note.png")));
    ASSERT_TRUE(notPicture.open(QIODevice::WriteOnly));
    notPicture.write("testo");
    notPicture.close();
    EXPECT_EQ(481, ErrorOf([&] { engine.ImageOut(QStringLiteral("note.png"), 0, 0); }));
}

// What a script asks of the drawing members is bounded by what a page can show, and only regular
// files are opened: a named pipe would block the run until someone wrote to it.
TEST_F(LabelTest, BarcodesLongerThanAPageAndFilesThatAreNoFilesAreRefused) {
    auto printer = addPrinter(QSizeF(200, 200));
    clsLabelPrint engine;
    engine.SetParameter(Variant("Etichette"), 100, 100, 1, 2);
    printer->log.clear();
    const QString longest(1000, QLatin1Char('7'));
    EXPECT_NEAR(engine.Barcode128bOut(1, 1, 5, 0.1f, longest), (11 * 1001 + 24) * 0.1f, 0.1);
    printer->log.clear();
    QString description;
    try {
        engine.Barcode128bOut(1, 1, 5, 0.1f, longest + QLatin1Char('7'));
    } catch (const AppError& e) {
        description = QString::number(e.number()) + u' ' + e.description();
    }
    EXPECT_EQ(description, QStringLiteral("5 Codice a barre troppo lungo: 1001 caratteri (al massimo 1000)"));
    EXPECT_TRUE(printer->log.isEmpty());

    const QString pipe = path(QStringLiteral("program/tubo.png"));
    ASSERT_EQ(0, mkfifo(QFile::encodeName(pipe).constData(), 0600));
    {
        // A reader still waiting on the pipe after a long while is let go, and fails the test.
        PipeWatchdog guard(pipe, QByteArray());
        EXPECT_EQ(0, ErrorOf([&] { engine.ImageOut(QStringLiteral("tubo.png"), 0, 0); }));
        EXPECT_FALSE(guard.fired());
    }
    EXPECT_TRUE(printer->log.isEmpty());
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(QStringLiteral("Impossibile accedere al file dell'immagine:\rtubo.png"), prompt->last().text);
    QDir().mkpath(path(QStringLiteral("program/cartella.png")));
    engine.ImageOut(QStringLiteral("cartella.png"), 0, 0);
    EXPECT_EQ(2u, prompt->shown().size());

    // A picture far beyond any page (20000 x 20000 pixels) is no picture to print.
    QImage huge(20000, 20000, QImage::Format_Mono);
    huge.fill(0);
    ASSERT_TRUE(huge.save(path(QStringLiteral("program/enorme.png"))));
    EXPECT_EQ(481, ErrorOf([&] { engine.ImageOut(QStringLiteral("enorme.png"), 0, 0); }));
    EXPECT_TRUE(printer->log.isEmpty());
}

}  // namespace
