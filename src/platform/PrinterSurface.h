// PrinterSurface: a printer as a drawing surface, over QPrinter: an installed printer or a PDF printer
// of our own. The document begins at the first output and ends with endDoc.
#pragma once

#include <QList>
#include <QMarginsF>
#include <QPageSize>
#include <QPrinter>

#include <memory>

#include "platform/PainterSurface.h"

class QPrinterInfo;

class PrinterSurface : public PainterSurface {
  public:
    explicit PrinterSurface(const QPrinterInfo& info);
    // A printer that writes each document to a PDF file; margins in millimetres.
    PrinterSurface(const QString& name, const QPageSize& paper, const QMarginsF& margins, const QString& file,
                   int dpi = 600);
    ~PrinterSurface() override;

    bool isPrinter() const override { return true; }
    QString deviceName() const override { return name_; }
    QSizeF physicalSize() const override;
    // The whole sheet in millimetres, in the current orientation.
    QSizeF paperSize() const;
    int orientation() const override;
    void setOrientation(int orientation) override;
    void newPage() override;
    void endDoc() override;

    // A printer for a separate job on the same device and paper, named `docName`: a PDF printer writes
    // it to a file of its own beside its document ("labels-job1.pdf"), never into the one under way.
    std::unique_ptr<QPrinter> NewJob(const QString& docName);
    // After a separate job has been printed: the program's own PDF printer saves it where the user says.
    virtual void EndJob(QPrinter& job);

    // The papers it takes, its paper, and a new paper for the next pages (false when it takes none such).
    QList<QPageSize> papers() const;
    QPageSize paper() const;
    bool setPaper(const QPageSize& paper);

    // Pages of the document under way, or of the last one ended.
    int pageCount() const { return pages_; }
    // Whether the last document ended came out: handed to the printer, or written to its PDF file.
    bool documentWritten() const { return written_; }
    QString outputFileName() const { return printer_.outputFileName(); }

  protected:
    QPaintDevice* device() override { return &printer_; }
    // A document is under way: it began with an output and has not ended.
    bool inDocument() const { return inDocument_; }
    void setDocumentWritten(bool written) { written_ = written; }
    bool beginPainting(QPainter& painter) override;
    void outputStarts() override;

  private:
    QString name_;
    QPrinter printer_;
    bool inDocument_ = false;
    bool written_ = false;
    int pages_ = 0;
    int jobs_ = 0;
    bool pageDue_ = false;  // a new page was asked for: it starts with the next output
};
