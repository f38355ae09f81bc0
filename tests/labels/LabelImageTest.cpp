// What labels look like: colours and turned text on pictures, text sizes on PDF pages turned into
// pictures, and a barcode read back by a scanner program.
#include <gtest/gtest.h>

#include <QProcess>

#include "LabelFixture.h"
#include "base/AppError.h"
#include "base/ErrorOf.h"
#include "labels/Code128.h"
#include "labels/modBarcodeGenerator.h"
#include "platform/PainterSurface.h"
#include "platform/PrinterSurface.h"
#include "support/MetafileWriter.h"

namespace {

// A page of a PDF file as a picture (poppler's pdftoppm).
QImage rasterize(const QString& pdf, int dpi, int page) {
    const QString prefix = pdf + QStringLiteral("-page%1").arg(page);
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-r"),
             QString::number(dpi), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
             QString::number(page), pdf, prefix});
    p.waitForFinished(60000);
    EXPECT_EQ(0, p.exitCode()) << p.readAllStandardError().toStdString();
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

bool dark(QRgb c) {
    return qGray(c) < 128;
}

// Height in pixels of the dark pixels of a region.
int inkHeight(const QImage& img, const QRect& region) {
    int top = -1, bottom = -1;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (dark(img.pixel(x, y))) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

class LabelImageTest : public LabelTest {
  protected:
    std::shared_ptr<PrinterSurface> a4() {
        return PrinterRegistry::instance().addPdfPrinter(QStringLiteral("A4"), QPageSize(QPageSize::A4),
                                                         QMarginsF(), path(QStringLiteral("a4.pdf")));
    }
};

// On a preview page: Color 255 is red; turned text sits on a white block, reading down or up.
TEST_F(LabelImageTest, ColoursAndTurnedTextOnAPreviewPage) {
    auto page = PainterSurface::onImage(QSizeF(10, 10), 300);
    clsLabelPrint engine;
    engine.SetParameter(Variant(ObjectRef(page)), 30, 60, 0, 0, 1);
    const double pxPerUnit = page->image().width() / 61.0;  // the page is 60 mm plus the spare one
    auto px = [&](double x, double y) { return page->image().pixel(int(x * pxPerUnit), int(y * pxPerUnit)); };
    engine.SetColor(255);
    engine.BoxOut(2, 2, 10, 10, true);
    EXPECT_EQ(qRgb(255, 0, 0), px(7, 7));
    engine.SetColor(0xFF0000);
    engine.BoxOut(0, 20, 30, 40, true);  // a blue ground under the turned texts
    engine.SetColor(0);
    engine.SetFont(10);
    const QString text = QStringLiteral("MMMM.........");
    const float w = engine.TxtOutV(2, 24, text);
    const float h = static_cast<float>(page->textHeight(text));
    engine.TxtOutV(2, 40, text, true);
    // Each block is white or black throughout, no blue left; the heavy end is at the top reading down,
    // at the bottom reading up.
    for (double left : {24.0, 40.0}) {
        int blue = 0, inkTop = 0, inkBottom = 0;
        for (double y = 2.2; y < 2 + w - 0.2; y += 0.1)
            for (double x = left + 0.2; x < left + h - 0.2; x += 0.1) {
                const QRgb c = px(x, y);
                if (qBlue(c) > 200 && qRed(c) < 100) ++blue;
                if (dark(c)) (y < 2 + w / 2 ? inkTop : inkBottom)++;
            }
        SCOPED_TRACE(left);
        EXPECT_EQ(0, blue);
        if (left == 24.0)
            EXPECT_GT(inkTop, 2 * inkBottom);
        else
            EXPECT_GT(inkBottom, 2 * inkTop);
    }
    EXPECT_EQ(qRgb(0, 0, 255), px(30, 28));  // the ground beside the blocks is untouched
}

// Ten points are 3.5 mm; accents and descenders make "Ég|" about 4 mm of ink, on a PDF page and on a
// preview page alike, in glyphs (a missing font draws short boxes).
TEST_F(LabelImageTest, TenPointTextIsFourMillimetresHighOnPaperAndOnPreview) {
    a4();
    clsLabelPrint engine;
    engine.SetParameter(Variant("A4"), 0, 0);
    engine.SetFont(10, false, false, QStringLiteral("Arial"));
    engine.TxtOut(10, 10, QStringLiteral("Ég|"));
    engine.EndLabels();
    const QImage paper = rasterize(path(QStringLiteral("a4.pdf")), 254, 1);  // 10 pixels a millimetre
    const double onPaper = inkHeight(paper, QRect(80, 80, 200, 80)) / 10.0;
    EXPECT_GE(onPaper, 3.5);
    EXPECT_LE(onPaper, 4.5);

    auto preview = PainterSurface::onImage(QSizeF(10, 10), 96);
    engine.SetParameter(Variant(ObjectRef(preview)), 30, 60, 0, 0, 1);
    engine.SetFont(10, false, false, QStringLiteral("Arial"));
    engine.TxtOut(10, 10, QStringLiteral("Ég|"));
    const double pxPerUnit = preview->image().width() / 61.0;
    const double onPreview = inkHeight(preview->image(), QRect(int(8 * pxPerUnit), int(8 * pxPerUnit),
                                                               int(20 * pxPerUnit), int(10 * pxPerUnit))) /
                             pxPerUnit;
    EXPECT_GE(onPreview, 3.5);
    EXPECT_LE(onPreview, 4.5);
}

// WMF and EMF pictures on paper: a red and a blue square where the picture puts them, at the picture's
// own size (40 x 20 mm) and stretched to twice it.
TEST_F(LabelImageTest, MetafilePicturesAreDrawnAtTheirSizeAndStretched) {
    const std::vector<MetafileBox> boxes = {{QRectF(5, 5, 10, 10), Qt::red},
                                            {QRectF(25, 5, 10, 10), Qt::blue}};
    ASSERT_TRUE(
        WritePictureFile(path(QStringLiteral("program/logo.wmf")), WmfPicture(QSizeF(40, 20), boxes)));
    ASSERT_TRUE(
        WritePictureFile(path(QStringLiteral("program/logo.emf")), EmfPicture(QSizeF(40, 20), boxes)));
    for (const QString& file : {QStringLiteral("logo.wmf"), QStringLiteral("logo.emf")}) {
        SCOPED_TRACE(file.toStdString());
        const QString pdf = path(file + QStringLiteral(".pdf"));
        PrinterRegistry::instance().addPdfPrinter(file, QPageSize(QPageSize::A4), QMarginsF(), pdf);
        clsLabelPrint engine;
        engine.SetParameter(Variant(file), 0, 0);
        engine.ImageOut(file, 2, 3);
        engine.ImageOut(file, 50, 3, 40, 80);
        engine.EndLabels();
        const QImage page = rasterize(pdf, 254, 1);  // 10 pixels a millimetre
        auto px = [&](double x, double y) {
            return std::string(ColourName(page.pixel(int(x * 10), int(y * 10))));
        };
        // At its own size from (3, 2): the squares span 8 to 18 and 28 to 38 across, 7 to 17 down.
        EXPECT_EQ("red", px(8.5, 7.5));
        EXPECT_EQ("red", px(17.5, 16.5));
        EXPECT_EQ("white", px(18.5, 12));
        EXPECT_EQ("blue", px(28.5, 12));
        EXPECT_EQ("blue", px(37.5, 16.5));
        EXPECT_EQ("white", px(38.5, 12));
        EXPECT_EQ("white", px(13, 17.5));
        // Stretched to 80 x 40 from (3, 50): the squares are 20 mm wide.
        EXPECT_EQ("red", px(13.5, 60.5));
        EXPECT_EQ("red", px(32.5, 79.5));
        EXPECT_EQ("white", px(33.5, 70));
        EXPECT_EQ("blue", px(53.5, 70));
        EXPECT_EQ("blue", px(72.5, 79.5));
        EXPECT_EQ("white", px(73.5, 70));
        EXPECT_EQ("white", px(23, 80.5));
    }
    // A metafile cut short is an invalid picture, as is any file that is no picture.
    ASSERT_TRUE(WritePictureFile(path(QStringLiteral("program/rotto.wmf")),
                                 WmfPicture(QSizeF(40, 20), boxes).left(100)));
    clsLabelPrint engine;
    engine.SetParameter(Variant(QStringLiteral("logo.wmf")), 0, 0);
    EXPECT_EQ(481, ErrorOf([&] { engine.ImageOut(QStringLiteral("rotto.wmf"), 2, 3); }));
}

// A picture placed over a black box and a text on a preview page covers them only where it draws: its
// red square and its white one show, and the box and the text show around them.
TEST_F(LabelImageTest, MetafilePicturesLetWhatLiesUnderThemShow) {
    const std::vector<MetafileBox> squares = {{QRectF(30, 2, 5, 5), Qt::red},
                                              {QRectF(5, 4, 4, 4), Qt::white}};
    ASSERT_TRUE(
        WritePictureFile(path(QStringLiteral("program/sopra.wmf")), WmfPicture(QSizeF(40, 20), squares)));
    ASSERT_TRUE(
        WritePictureFile(path(QStringLiteral("program/sopra.emf")), EmfPicture(QSizeF(40, 20), squares)));
    for (const QString& file : {QStringLiteral("sopra.wmf"), QStringLiteral("sopra.emf")}) {
        SCOPED_TRACE(file.toStdString());
        auto page = PainterSurface::onImage(QSizeF(10, 10), 300);
        clsLabelPrint engine;
        engine.SetParameter(Variant(ObjectRef(page)), 30, 60, 0, 0, 1);
        const double pxPerUnit = page->image().width() / 61.0;
        engine.SetColor(0);
        engine.BoxOut(2, 2, 8, 20, true);
        engine.SetFont(10, false, false, QStringLiteral("Arial"));
        engine.TxtOut(13, 2, QStringLiteral("HHHH"));
        engine.ImageOut(file, 0, 0, 20, 40, true);  // a preview page counts in its own units
        const QImage& image = page->image();
        auto px = [&](double x, double y) { return image.pixel(int(x * pxPerUnit), int(y * pxPerUnit)); };
        EXPECT_EQ("red", std::string(ColourName(px(32.5, 4.5))));
        EXPECT_TRUE(dark(px(12, 6)));
        EXPECT_EQ("white", std::string(ColourName(px(7, 6))));
        EXPECT_EQ("white", std::string(ColourName(px(38, 15))));
        const double text = inkHeight(image, QRect(int(2 * pxPerUnit), int(12 * pxPerUnit),
                                                   int(15 * pxPerUnit), int(6 * pxPerUnit))) /
                            pxPerUnit;
        EXPECT_NEAR(2.5, text, 0.6);  // capitals of ten points
    }
}

// A label printed on the PDF printer, turned into a 300 dpi picture, is read by a barcode scanner program.
TEST_F(LabelImageTest, APrintedBarcodeReadsBackAsItsText) {
    a4();
    clsLabelPrint engine;
    engine.SetParameter(Variant("A4"), 40, 80, 10, 10, 1);
    engine.SetFont(9);
    engine.TxtOut(1, 2, QStringLiteral("Commessa C2024/0017"));
    engine.Barcode128bOut(6, 2, 12, 0.3f, QStringLiteral("C2024/0017 a~z"));
    engine.EndLabels();
    const QImage page = rasterize(path(QStringLiteral("a4.pdf")), 300, 1);
    const QString png = path(QStringLiteral("label.png"));
    ASSERT_TRUE(page.copy(0, 0, 1200, 700).save(png));
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png});
    ASSERT_TRUE(zbar.waitForFinished(60000));
    EXPECT_EQ(QStringLiteral("C2024/0017 a~z"), QString::fromUtf8(zbar.readAllStandardOutput()).trimmed());
}

// Where the turned block cannot be made the engine says which part failed.
TEST_F(LabelImageTest, TurnedTextThatCannotBeMadeIsRefusedWithItsReason) {
    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("Persa"), QPageSize(QPageSize::A4), QMarginsF(),
                                              path(QStringLiteral("manca/x.pdf")));
    a4();
    struct Row {
        const char* printer;
        int16_t size;
        QString text;
        const char* message;
    } rows[] = {
        {"Persa", 10, QStringLiteral("testo"), "Impossibile creare il Device Context (compatibile)"},
        {"A4", 4000, QStringLiteral("A"), "Impossibile creare il Font"},
        {"A4", 1000, QStringLiteral("ABCDEFGH"), "Impossibile creare la BitMap"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.message);
        clsLabelPrint engine;
        engine.SetParameter(Variant(r.printer), 100, 100);
        engine.SetFont(r.size);
        try {
            engine.TxtOutV(0, 0, r.text);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_EQ(QStringLiteral("[clsLabelPrint], Err.: 32755\r") + QString::fromLatin1(r.message),
                      e.description());
        }
    }
}

}  // namespace
