// The program's database in a temporary folder with a few customers, a zero-margin A4 PDF printer
// "PDF-A4", a shown owner window and a recording prompt; the PDF read back page by page.
#pragma once

#include <QSizeF>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

#include "ModelDatabaseTest.h"
#include "base/Dispatch.h"
#include "support/RecordingPrompt.h"

namespace odb {
class DataSet;
}

// What a page of the PDF shows: the top-left corners (mm) of its filled squares, its text and its size.
struct PdfPage {
    QStringList squares;  // "x,y", top to bottom, then left to right
    QString text;         // words separated by single spaces
    QSizeF mm;            // the sheet, to the millimetre
};

// A label layout row, with the values most runs use.
struct LayoutRow {
    QString table = QStringLiteral("Clienti");
    QString printer = QStringLiteral("PDF-A4");
    bool askPrinter = false;
    int columns = 2;
    double height = 140, width = 100, top = 5, left = 5;
    bool positioning = true;
    int copies = 1;
    QString script = QStringLiteral(
        "Function PrintLabel(ds, prn)\r\n  prn.BoxOut 0, 0, 10, 10, True : "
        "PrintLabel = True\r\nEnd Function\r\n");
};

// A collection of bookmarks other than a grid's selection: Count and Item from 1.
class BookmarkList : public Dispatch {
  public:
    explicit BookmarkList(std::vector<Variant> bookmarks);
    std::vector<Variant> items;

  private:
    static const DispatchClass& members();
};

class LabelRunTest : public ModelDatabaseTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    void storeLayout(const LayoutRow& layout);
    // Customers C001..C00n ordered by code; `from` 1-based.
    std::shared_ptr<odb::DataSet> customers(int from, int count);
    QString pdfPath() const { return path(QStringLiteral("etichette.pdf")); }
    // The pages of the PDF (by default the one of "PDF-A4"); empty when no PDF was written.
    std::vector<PdfPage> pdfPages(const QString& file = {}) const;
    // Forgets the PDF and the kept engine, for the next run of a table.
    void resetRun();

    ScopedRecordingPrompt prompt;
    QWidget owner;
};
