// The report engine on recording printers and on the preview: modules across, down and on new pages,
// the band of rows, derived module sizes, and where the drawing members put their output.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <poppler-qt6.h>

#include <algorithm>
#include <utility>

#include "LabelFixture.h"
#include "base/AppError.h"
#include "labels/HostedControls.h"
#include "reports/clsCustomReport.h"
#include "reports/frmCustomReportPreview.h"
#include "support/MetafileWriter.h"
#include "support/ModalScript.h"

namespace {

using ReportEngineTest = LabelTest;

QString num(double v) {
    return QString::number(v, 'g', 6);
}

TEST_F(ReportEngineTest, ModulesGoAcrossThenDownThenOnNewPagesAndRowsFillTheirBand) {
    struct Row {
        const char* name;
        QSizeF printer;  // printable area of the recording printer
        bool preview;
        float h, w, top, left;
        int16_t columns;
        float dim, rowsTop, rowsBottom;
        int rows;
        // Each module's corner and its rows, "|" where a page begins; then the module's size, and on the
        // preview the page's size and the pages kept.
        QString expected;
    } rows[] = {
        // clang-format off
        {"the band of 40 to 240 takes 33 rows of 6", {210, 297}, true, 0, 0, 0, 0, 1, 6, 40, 240, 40,
         "0,0:33 | 0,0:7 | module 210x297 page 210x297 pages 2"},
        {"a module of height 0 is the page less twice the top margin on paper",
         {210, 297}, false, 0, 0, 5, 0, 1, 6, 40, 240, 40, "0,5:33 | 0,5:7 | module 210x287"},
        {"and on the preview alike", {210, 297}, true, 0, 0, 5, 0, 1, 6, 40, 240, 40,
         "0,5:33 | 0,5:7 | module 210x287 page 210x292 pages 2"},
        {"a width of 0 is shared by the columns after twice the left margin",
         {210, 297}, false, 100, 0, 0, 5, 2, 6, 0, 6, 3, "5,0:1 105,0:1 5,100:1 module 100x100"},
        {"three columns, then down, then a new page", {90, 60}, false, 20, 30, 5, 0, 3, 6, 0, 6, 7,
         "0,5:1 30,5:1 60,5:1 0,25:1 30,25:1 60,25:1 | 0,5:1 module 30x20"},
        {"no columns are one", {90, 60}, false, 20, 30, 0, 0, 0, 6, 0, 6, 3, "0,0:1 0,20:1 | 0,0:1 module 30x20"},
        {"a module ending on the page's edge starts the next page",
         {210, 297}, false, 148.5f, 210, 0, 0, 1, 6, 0, 6, 2, "0,0:1 | 0,0:1 | module 210x148.5"},
        {"on the preview each row of modules is a page of its own", {210, 297}, true, 100, 50, 10, 5, 2, 6, 0, 6, 3,
         "5,10:1 55,10:1 | 5,10:1 module 50x100 page 105x110 pages 2"},
        // clang-format on
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        PrinterRegistry::instance().reset(false);
        auto printer = addPrinter(r.printer);
        frmCustomReportPreview window;
        clsCustomReport e;
        e.SetParameter(r.preview ? Variant(window.AsDevice()) : Variant(QStringLiteral("Etichette")), r.h,
                       r.w, r.top, r.left, r.columns, r.dim, r.rowsTop, r.rowsBottom);
        const QSizeF page = e.Output()->scaleSize();
        QStringList out;
        int inModule = 0;
        auto pages = [&] { return r.preview ? int(window.PageCount()) : printer->pageCount(); };
        // As the run does: a row, then the next module when the next row does not fit; the total last.
        auto nextModule = [&] {
            out << QStringLiteral("%1,%2:%3").arg(num(e.CurX()), num(e.CurY())).arg(inModule);
            inModule = 0;
            const int before = pages();
            e.NextReport();
            if (pages() != before) out << QStringLiteral("|");
        };
        e.SetIgnoreNextNewRow(true);
        for (int n = 1; n <= r.rows; ++n) {
            e.SetRowPrinting(true);
            e.NewReportRow();
            e.TxtOut(0, 0, QStringLiteral("r"));
            ++inModule;
            e.SetRowPrinting(false);
            if (!e.ValidateRowDimNext()) nextModule();
        }
        if (inModule) nextModule();
        out << QStringLiteral("module %1x%2").arg(num(e.ReportWidth()), num(e.ReportHeight()));
        if (r.preview) {
            if (e.ReportPageIsEmpty()) window.CancelAddingPage();
            window.CommitAddingPage();
            out << QStringLiteral("page %1x%2 pages %3")
                       .arg(num(page.width()), num(page.height()))
                       .arg(window.PageCount());
        }
        EXPECT_EQ(r.expected.toStdString(), out.join(u' ').toStdString());
    }
}

TEST_F(ReportEngineTest, RowsEndAtTheLastThatFits) {
    addPrinter({210, 297});
    clsCustomReport e;
    e.SetParameter(Variant(QStringLiteral("Etichette")), 0, 0, 0, 0, 1, 6, 40, 240);
    e.SetIgnoreNextNewRow(true);
    // Right after a module step LastRow counts one row, after the first two.
    EXPECT_FALSE(e.LastRow());
    EXPECT_EQ(e.AvailableRowDim(), e.AvailableRowDimNext());
    e.RowEnd();
    EXPECT_TRUE(e.LastRow());
    EXPECT_EQ(232, e.RowY(true));
    e.SetRowPrinting(true);
    EXPECT_EQ(232, e.CurY());  // the band's top and the row
    // A row refused as higher than the default keeps its height.
    EXPECT_THROW(e.SetRowDimCur(6.5f), AppError);
    EXPECT_EQ(6, e.RowDimCur());
    // Only an explicit rows bottom of 0 takes the paper's height.
    clsCustomReport paper;
    paper.SetParameter(Variant(QStringLiteral("Etichette")), 0, 0, 0, 0, 1, 6, 40, 0);
    EXPECT_EQ(297, paper.AvailableRowDim() + 40);
}

TEST_F(ReportEngineTest, DrawingGoesInTheModuleOrRowOverTheBackgroundPaintedOnce) {
    auto printer = addPrinter({210, 297});
    QImage back(20, 10, QImage::Format_RGB32);
    back.fill(Qt::yellow);
    ASSERT_TRUE(back.save(path(QStringLiteral("sfondo.png"))));
    ASSERT_TRUE(back.save(path(QStringLiteral("logo.png"))));
    clsCustomReport e;
    e.SetParameter(Variant(QStringLiteral("Etichette")), 100, 80, 10, 5, 2, 6, 40, 90,
                   path(QStringLiteral("sfondo.png")), 4);
    printer->log.clear();
    e.SetRowPrinting(true);
    e.TxtOut(2, 3, QStringLiteral("a\r\nb"), 0, true);
    const float depth = e.RowDimText();
    e.BoxOut(0, 0, 1.5f, 20, true, true);
    e.ImageOut(path(QStringLiteral("logo.png")), 1, 2, 10, 20);
    e.Barcode128bOut(3, 4, 5, 0.5f, QStringLiteral("A"));
    e.SetRowPrinting(false);
    e.NextReport();
    e.LineOut(1, 2, 1, 30);
    QStringList log = printer->log;
    // The barcode's bars only by their first one.
    bool firstBar = true;
    log.erase(std::remove_if(log.begin(), log.end(),
                             [&](const QString& l) {
                                 if (!l.startsWith(QLatin1String("fill"))) return false;
                                 return !std::exchange(firstBar, false);
                             }),
              log.end());
    const QStringList expected = {
        // the background of module 0, the module less its bottom border, then the text two lines deep
        QStringLiteral("picture 5 10 80 96 from 0 0 20 10"),
        QStringLiteral("print 8 52 a"),
        QStringLiteral("print 8 56 b"),
        // too low for a shadow
        QStringLiteral("box 5 50 25 51.5 0 fs=0 fc=0"),
        // the picture from the module's corner, whatever the row
        QStringLiteral("picture 7 11 20 10 from 0 0 20 10"),
        QStringLiteral("fill 9 53 10 58 0"),
        // the next module's background under its first output
        QStringLiteral("picture 85 10 80 96 from 0 0 20 10"),
        QStringLiteral("box 87 11 115 11 0 fs=1 fc=0"),
    };
    EXPECT_EQ(expected.join(u'\n').toStdString(), log.join(u'\n').toStdString());
    EXPECT_EQ(10, depth);  // from the row's top: 2 down, then two lines of 4
}

// A WMF or EMF background is stretched over the module on paper: a picture of 40 x 20 mm with a red
// and a blue square over a module of 80 x 100 mm at (5, 10).
TEST_F(ReportEngineTest, MetafileBackgroundsAreStretchedOverTheModule) {
    const std::vector<MetafileBox> boxes = {{QRectF(5, 5, 10, 10), Qt::red},
                                            {QRectF(25, 5, 10, 10), Qt::blue}};
    ASSERT_TRUE(WritePictureFile(path(QStringLiteral("sfondo.wmf")), WmfPicture(QSizeF(40, 20), boxes)));
    ASSERT_TRUE(WritePictureFile(path(QStringLiteral("sfondo.emf")), EmfPicture(QSizeF(40, 20), boxes)));
    for (const QString& file : {QStringLiteral("sfondo.wmf"), QStringLiteral("sfondo.emf")}) {
        SCOPED_TRACE(file.toStdString());
        const QString pdf = path(file + QStringLiteral(".pdf"));
        PrinterRegistry::instance().addPdfPrinter(file, QPageSize(QPageSize::A4), QMarginsF(), pdf);
        {
            clsCustomReport e;
            e.SetParameter(Variant(file), 100, 80, 10, 5, 1, 6, 40, 90, path(file), 0);
            e.BoxOut(95, 75, 1, 1, true);
            e.EndReports();
        }
        auto document = Poppler::Document::load(pdf);
        ASSERT_TRUE(document);
        std::unique_ptr<Poppler::Page> first(document->page(0));
        ASSERT_TRUE(first);
        const QImage page = first->renderToImage(254, 254);  // 10 pixels a millimetre
        auto px = [&](double x, double y) {
            return std::string(ColourName(page.pixel(int(x * 10), int(y * 10))));
        };
        // The squares span 15 to 35 and 55 to 75 across, 35 to 85 down (looked at a millimetre from their
        // edges, past the page's picture compression).
        EXPECT_EQ("red", px(16.5, 36.5));
        EXPECT_EQ("red", px(33.5, 83.5));
        EXPECT_EQ("white", px(45, 60));
        EXPECT_EQ("blue", px(56.5, 60));
        EXPECT_EQ("blue", px(73.5, 83.5));
        EXPECT_EQ("white", px(65, 87));
        EXPECT_EQ("white", px(65, 33));
    }
}

TEST_F(ReportEngineTest, PrintObjectSizesTheViewerAndLeavesTheModuleAlone) {
    addPrinter({210, 297});
    HostedControls::Register(QStringLiteral("Test.Vuoto"), [](QWidget* parent) {
        return HostedControl{new QWidget(parent), nullptr};
    });
    QSize viewer;
    ScopedModalScript modal([&](QDialog& d) { viewer = d.size(); });
    clsCustomReport e;
    e.SetParameter(Variant(QStringLiteral("Etichette")), 50, 40);
    e.PrintObject(QStringLiteral("Test.Vuoto"), QString());
    HostedControls::Unregister(QStringLiteral("Test.Vuoto"));
    EXPECT_EQ(1, modal.runs);
    EXPECT_EQ(50, e.ReportHeight());
    EXPECT_EQ(40, e.ReportWidth());
    // The viewer in the page's proportions.
    EXPECT_NEAR(297.0 / 210.0, double(viewer.height()) / viewer.width(), 0.01);
}

}  // namespace
