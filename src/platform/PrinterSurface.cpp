// Printers over QPrinter. The printable area comes from the page layout in millimetres (exact for
// sizes defined in millimetres, such as A4), not from device pixels.
#include "platform/PrinterSurface.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinterInfo>

#include "base/AppError.h"

PrinterSurface::PrinterSurface(const QPrinterInfo& info)
    : name_(info.printerName()), printer_(info, QPrinter::HighResolution) {}

PrinterSurface::PrinterSurface(const QString& name, const QPageSize& paper, const QMarginsF& margins,
                               const QString& file, int dpi)
    : name_(name), printer_(QPrinter::HighResolution) {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setResolution(dpi);
    printer_.setOutputFileName(file);
    printer_.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, margins, QPageLayout::Millimeter));
    printer_.setDocName(name);
}

PrinterSurface::~PrinterSurface() {
    endPainting();
}

QSizeF PrinterSurface::physicalSize() const {
    return printer_.pageLayout().paintRect(QPageLayout::Millimeter).size();
}

QSizeF PrinterSurface::paperSize() const {
    return printer_.pageLayout().fullRect(QPageLayout::Millimeter).size();
}

int PrinterSurface::orientation() const {
    return printer_.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

void PrinterSurface::setOrientation(int orientation) {
    if (orientation != 1 && orientation != 2) RaiseVbError(380, className());
    printer_.setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool PrinterSurface::beginPainting(QPainter& painter) {
    if (!painter.begin(&printer_)) return false;
    if (!inDocument_) {
        inDocument_ = true;
        pages_ = 1;
    }
    return true;
}

void PrinterSurface::newPage() {
    // A new page of an empty document still ejects the first one, as a printer does; the new page
    // itself starts with its first output, so that a page break at the end leaves no blank page.
    if (!ensurePainting()) RaiseVbError(482, className());
    if (pageDue_) outputStarts();
    pageDue_ = true;
}

void PrinterSurface::outputStarts() {
    if (!pageDue_) return;
    pageDue_ = false;
    if (!printer_.newPage()) RaiseVbError(482, className());
    ++pages_;
}

void PrinterSurface::endDoc() {
    pageDue_ = false;
    endPainting();
    written_ = inDocument_;
    inDocument_ = false;
}

std::unique_ptr<QPrinter> PrinterSurface::NewJob(const QString& docName) {
    std::unique_ptr<QPrinter> job;
    if (printer_.outputFormat() == QPrinter::PdfFormat) {
        job = std::make_unique<QPrinter>(QPrinter::HighResolution);
        job->setOutputFormat(QPrinter::PdfFormat);
        job->setResolution(printer_.resolution());
        const QFileInfo file(printer_.outputFileName());
        job->setOutputFileName(file.dir().filePath(
            QStringLiteral("%1-job%2.%3").arg(file.completeBaseName()).arg(++jobs_).arg(file.suffix())));
    } else {
        job = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name_), QPrinter::HighResolution);
    }
    job->setPageLayout(printer_.pageLayout());
    job->setDocName(docName);
    return job;
}

void PrinterSurface::EndJob(QPrinter&) {}

QList<QPageSize> PrinterSurface::papers() const {
    QList<QPageSize> list;
    if (printer_.outputFormat() == QPrinter::PdfFormat) {
        for (QPageSize::PageSizeId id : {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::A6,
                                         QPageSize::B4, QPageSize::B5, QPageSize::Letter, QPageSize::Legal})
            list << QPageSize(id);
    } else {
        list = QPrinterInfo::printerInfo(name_).supportedPageSizes();
    }
    // A paper of its own (a label roll) stays offered.
    if (!list.contains(paper())) list.prepend(paper());
    return list;
}

QPageSize PrinterSurface::paper() const {
    return printer_.pageLayout().pageSize();
}

bool PrinterSurface::setPaper(const QPageSize& paper) {
    return printer_.setPageSize(paper);
}
