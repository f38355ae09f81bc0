// The label run fixture: database rows, the PDF printer and the PDF read back through poppler.
#include "LabelRunFixture.h"

#include <QFile>
#include <QImage>

#include <poppler-qt6.h>

#include <algorithm>

#include "labels/clsLabelPrint.h"
#include "labels/modLabelPrint.h"
#include "odb/DataSet.h"
#include "platform/PrinterRegistry.h"
#include "startup/frmMessage.h"

namespace {

constexpr double kPixelsPerMm = 2;

// Top-left corners of the dark blocks of a page rendered at kPixelsPerMm.
QStringList squaresOf(QImage image) {
    image = image.convertToFormat(QImage::Format_Grayscale8);
    const int w = image.width(), h = image.height();
    std::vector<uint8_t> seen(size_t(w) * h, 0);
    auto dark = [&](int x, int y) { return image.constScanLine(y)[x] < 100; };
    std::vector<std::pair<int, int>> corners;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (seen[size_t(y) * w + x] || !dark(x, y)) continue;
            int minX = x, minY = y, area = 0;
            std::vector<std::pair<int, int>> stack{{x, y}};
            seen[size_t(y) * w + x] = 1;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                ++area;
                minX = std::min(minX, cx);
                minY = std::min(minY, cy);
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = cx + dx, ny = cy + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[size_t(ny) * w + nx] || !dark(nx, ny))
                        continue;
                    seen[size_t(ny) * w + nx] = 1;
                    stack.push_back({nx, ny});
                }
            }
            // Squares only: text glyphs are far smaller than a 10 mm square.
            if (area > 300) corners.push_back({minY, minX});
        }
    std::sort(corners.begin(), corners.end());
    QStringList out;
    for (auto [y, x] : corners)
        out << QStringLiteral("%1,%2").arg(qRound(x / kPixelsPerMm)).arg(qRound(y / kPixelsPerMm));
    return out;
}

}  // namespace

BookmarkList::BookmarkList(std::vector<Variant> bookmarks)
    : Dispatch(members()), items(std::move(bookmarks)) {}

const DispatchClass& BookmarkList::members() {
    static const DispatchClassOf<BookmarkList> cls = [] {
        DispatchClassOf<BookmarkList> c(QStringLiteral("Collection"));
        c.get(QStringLiteral("Count"), {},
              [](BookmarkList& l, DispatchArgs&) { return int32_t(l.items.size()); })
            .get(QStringLiteral("Item"), {Param(QStringLiteral("Index"), VarType::Long)},
                 [](BookmarkList& l, DispatchArgs& a) { return l.items.at(size_t(a.lng(0) - 1)); });
        return c;
    }();
    return cls;
}

void LabelRunTest::SetUp() {
    ModelDatabaseTest::SetUp();
    open();
    PrinterRegistry::instance().reset(false);
    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("PDF-A4"), QPageSize(QPageSize::A4), QMarginsF(),
                                              pdfPath());
    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("PDF-A5"), QPageSize(QPageSize::A5), QMarginsF(),
                                              path(QStringLiteral("a5.pdf")));
    auto ds = rows(QStringLiteral("Clienti"));
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(ds->AddRow({"Codice", QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')),
                                "Descrizione", QStringLiteral("Cliente %1").arg(i)}));
    owner.resize(300, 200);
    owner.show();
}

void LabelRunTest::TearDown() {
    resetRun();
    owner.hide();
    PrinterRegistry::instance().reset(true);
    ModelDatabaseTest::TearDown();
}

void LabelRunTest::resetRun() {
    if (g_objLabelPrint) g_objLabelPrint->ForceEndDocument();
    g_objLabelPrint.reset();
    frmMessage::Unload();
    QFile::remove(pdfPath());
    prompt->clear();
}

void LabelRunTest::storeLayout(const LayoutRow& l) {
    auto ds = rows(QStringLiteral("TabStampaEtichette"));
    for (ds->RowFirst(); !ds->RowInvalid();)
        ASSERT_TRUE(ds->DeleteRow());
    ASSERT_TRUE(ds->AddRow({"NomeTabellaOrigine",
                            l.table,
                            "NomeStampante",
                            l.printer,
                            "RichiediSelezioneStampante",
                            l.askPrinter,
                            "NumeroColonne",
                            int32_t(l.columns),
                            "AltezzaEtichetta",
                            l.height,
                            "LarghezzaEtichetta",
                            l.width,
                            "MargineSuperiore",
                            l.top,
                            "MargineSinistro",
                            l.left,
                            "IstruzioniStampa",
                            l.script,
                            "AbilitaPosizionamento",
                            l.positioning,
                            "NumeroCopie",
                            int32_t(l.copies)}));
}

std::shared_ptr<odb::DataSet> LabelRunTest::customers(int from, int count) {
    QStringList codes;
    for (int i = from; i < from + count; ++i)
        codes << QStringLiteral("Codice = 'C%1'").arg(i, 3, 10, QLatin1Char('0'));
    auto ds = rows(QStringLiteral("Clienti"), codes.join(QStringLiteral(" Or ")), QStringLiteral("Codice"));
    ds->RowFirst();
    return ds;
}

std::vector<PdfPage> LabelRunTest::pdfPages(const QString& file) const {
    std::vector<PdfPage> pages;
    const QString pdf = file.isEmpty() ? pdfPath() : file;
    if (!QFile::exists(pdf)) return pages;
    auto doc = Poppler::Document::load(pdf);
    if (!doc) return pages;
    for (int i = 0; i < doc->numPages(); ++i) {
        std::unique_ptr<Poppler::Page> page(doc->page(i));
        PdfPage p;
        p.squares = squaresOf(page->renderToImage(kPixelsPerMm * 25.4, kPixelsPerMm * 25.4));
        p.text = page->text(QRectF()).simplified();
        const QSizeF points = page->pageSizeF();
        p.mm = QSizeF(qRound(points.width() * 25.4 / 72), qRound(points.height() * 25.4 / 72));
        pages.push_back(p);
    }
    return pages;
}
