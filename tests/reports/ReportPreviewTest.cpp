// The report page preview: the page store in memory and in files of its own, the command bar and the
// page keys, one page printed or copied, the zoom, the scroll bars, the arrow keys and the wheel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>

#include "LabelRunFixture.h"
#include "platform/DrawSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/ProgramFolder.h"
#include "platform/modOSWinUtil.h"
#include "reports/frmCustomReportPreview.h"
#include "support/ModalScript.h"

namespace {

using ReportPreviewTest = LabelRunTest;

// n A4 pages, page k with a black square 10 k millimetres wide at its corner.
void addPages(frmCustomReportPreview& w, int n) {
    w.PageClear();
    for (int k = 1; k <= n; ++k) {
        auto page = w.PageAdd();
        if (k == 1) page->setPhysicalSize(QSizeF(210, 297));
        page->filledBox(QPointF(0, 0), QPointF(10 * k, 10 * k), 0);
    }
    w.CommitAddingPage();
}

template <class T>
T* control(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_TRUE(c) << name;
    return c;
}

void key(QWidget* target, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

// The width of the black square at the page's corner, in millimetres of the A4 page shown.
int squareOf(const QImage& page) {
    int x = 0;
    while (x < page.width() && qGray(page.pixel(x, 0)) < 100)
        ++x;
    return qRound(x * 210.0 / page.width());
}

TEST_F(ReportPreviewTest, PagesPastSixteenGoToFilesOfTheirOwnGoneWhenTheWindowCloses) {
    // Another preview's page in the program folder is none of this one's business.
    const QString foreign = ProgramFolder() + QStringLiteral("/TmpPreview_17.bmp");
    QFile(foreign).open(QIODevice::WriteOnly);
    for (int n : {16, 17}) {
        SCOPED_TRACE(n);
        frmCustomReportPreview w;
        addPages(w, n);
        w.CommitAddingPage();  // nothing more in progress: nothing more stored
        EXPECT_EQ(n, w.PageCount());
        const QString folder = w.PageFolder();
        QStringList files;
        QString shown;
        int square = 0;
        ScopedModalScript modal([&](QDialog& d) {
            auto& p = static_cast<frmCustomReportPreview&>(d);
            files = QDir(folder).entryList(QDir::Files);
            shown = control<QLabel>(p, "lblTotPage")->text();
            p.cmdLast_Click();
            square = squareOf(p.ShownPage());
        });
        EXPECT_EQ(QString(), w.ShowPreview(&owner));
        EXPECT_EQ(QStringLiteral("di %1").arg(n), shown);
        EXPECT_EQ(10 * n, square);  // the last page, read back from memory or from its file
        if (n == 16) {
            EXPECT_TRUE(folder.isEmpty());
        } else {
            EXPECT_EQ(QStringList{QStringLiteral("TmpPreview_17.bmp")}, files);
            EXPECT_NE(QDir(ProgramFolder()).canonicalPath(), QDir(folder).canonicalPath());
            EXPECT_FALSE(QDir(folder).exists());
        }
        EXPECT_TRUE(QFile::exists(foreign));
    }
}

TEST_F(ReportPreviewTest, TheCommandBarFollowsThePagesAndKeepsTheNumberWithinThem) {
    struct Row {
        int pages;
        bool pageBox, firstLast;
    } rows[] = {{0, false, false}, {1, false, false}, {3, true, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pages);
        frmCustomReportPreview w;
        addPages(w, r.pages);
        w.show();
        w.RefreshView();
        auto* box = control<QSpinBox>(w, "txtPage");
        EXPECT_EQ(r.pages > 0, control<QWidget>(w, "pnlBottom")->isEnabled());
        EXPECT_EQ(QStringLiteral("di %1").arg(r.pages), control<QLabel>(w, "lblTotPage")->text());
        if (r.pages == 0) continue;
        EXPECT_EQ(r.pageBox, box->isEnabled());
        EXPECT_EQ(r.firstLast, control<QToolButton>(w, "cmdFirst")->isVisible());
        EXPECT_EQ(r.firstLast, control<QToolButton>(w, "cmdLast")->isVisible());
    }
    frmCustomReportPreview w;
    addPages(w, 3);
    w.show();
    auto* box = control<QSpinBox>(w, "txtPage");
    box->setValue(999);
    EXPECT_EQ(3, w.PageIndex());
    EXPECT_EQ(3, box->value());
    key(box, Qt::Key_PageDown);  // the window sees the key before the box
    EXPECT_EQ(3, w.PageIndex());
    box->setValue(0);
    EXPECT_EQ(1, w.PageIndex());
    EXPECT_EQ(1, box->value());
    key(box, Qt::Key_PageUp);
    EXPECT_EQ(1, w.PageIndex());
    key(box, Qt::Key_PageDown);
    EXPECT_EQ(20, squareOf(w.ShownPage()));
    // Esc closes the window.
    key(box, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(ReportPreviewTest, ThePageZoomsAndScrollsByBarsArrowsAndWheel) {
    frmCustomReportPreview w;
    addPages(w, 2);
    w.show();
    w.resize(1000, 700);
    auto* center = control<QWidget>(w, "pnlCenter");
    auto* image = control<QWidget>(w, "imgView");
    auto* vs = control<QScrollBar>(w, "vsImage");
    auto* hs = control<QScrollBar>(w, "hsImage");
    auto* zoom = control<QCheckBox>(w, "chkStretch");
    const QSize natural = w.ShownPage().size();
    // Unzoomed: the page at its own size, the zoom choices off.
    EXPECT_EQ(natural, image->size());
    EXPECT_FALSE(control<QRadioButton>(w, "optStretchArea")->isEnabled());

    zoom->click();
    control<QRadioButton>(w, "optStretchArea")->click();
    EXPECT_EQ(center->height(), image->height());
    EXPECT_LE(image->width(), center->width());
    EXPECT_NEAR(297.0 / 210.0, double(image->height()) / image->width(), 0.01);
    EXPECT_FALSE(vs->isVisible());
    EXPECT_FALSE(hs->isVisible());

    control<QRadioButton>(w, "optStretch200")->click();
    EXPECT_EQ(natural * 2, image->size());
    ASSERT_TRUE(hs->isVisible());
    hs->setValue(hs->maximum());
    EXPECT_EQ(vs->x(), image->x() + image->width());  // the right edge just left of the vertical bar

    // The wheel toward the user and the arrow keys scroll by the large step, within the range.
    ASSERT_TRUE(vs->isVisible());
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &wheel);  // as it reaches the window from the page under the mouse
    EXPECT_EQ(vs->pageStep(), vs->value());
    EXPECT_EQ(-vs->value(), image->y());
    key(zoom, Qt::Key_Up);
    EXPECT_EQ(0, vs->value());
    vs->setValue(vs->maximum() - 1);
    key(zoom, Qt::Key_Down);
    EXPECT_EQ(vs->maximum(), vs->value());
    key(zoom, Qt::Key_Left);
    EXPECT_EQ(hs->maximum() - hs->pageStep(), hs->value());

    // Automatic: the width beside the bar, the page's proportions.
    control<QRadioButton>(w, "optStretchAuto")->click();
    EXPECT_EQ(center->width() - vs->width(), image->width());
    EXPECT_FALSE(hs->isVisible());
    // The window never gets too small for its command bar.
    w.resize(50, 20);
    EXPECT_GE(w.height(), 2 * control<QWidget>(w, "pnlBottom")->height());
}

TEST_F(ReportPreviewTest, OnePageIsPrintedOrCopiedAndTheWindowStays) {
    frmCustomReportPreview w;
    addPages(w, 2);
    w.show();
    w.SetPageIndex(2);
    control<QCheckBox>(w, "chkPrintCurrent")->setChecked(true);
    // Cancelled: nothing.
    w.chkPrintImage_Click();
    EXPECT_TRUE(pdfPages().empty());
    prompt->answerPrinter(QStringLiteral("PDF-A5"));
    w.chkPrintImage_Click();
    const auto pages = pdfPages(path(QStringLiteral("a5.pdf")));
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(QStringList{QStringLiteral("0,0")}, pages[0].squares);  // the page's square, at its corner
    // The printer chosen is the program's from then on, as the default printer the choice was made.
    EXPECT_EQ(QStringLiteral("PDF-A5"), PrinterRegistry::instance().current()->deviceName());
    EXPECT_EQ(QStringLiteral("PDF-A5"), GetDefaultPrinterName());
    EXPECT_TRUE(w.isVisible());
    w.cmdClipBoardImage_Click();
    EXPECT_EQ(w.ShownPage(), QGuiApplication::clipboard()->image().convertToFormat(w.ShownPage().format()));
    EXPECT_EQ(QStringLiteral("La pagina è stata copia negli appunti."), prompt->last().text);
    EXPECT_EQ("Selezione Stampante", prompt->shown().front().title.toStdString());
    // First shown without a placement of its own: 90 % of the screen.
    const QSize screen = w.screen()->geometry().size();
    EXPECT_NEAR(screen.height() * 0.9, w.height(), 2);
}

}  // namespace
