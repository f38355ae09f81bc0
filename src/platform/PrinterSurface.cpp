// Printers over QPrinter. The printable area comes from the page layout in millimetres (exact for
// sizes defined in millimetres, such as A4), not from device pixels.
#include "platform/PrinterSurface.h"

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
    // A new page of an empty document still ejects the first one, as a printer does.
    if (!ensurePainting()) RaiseVbError(482, className());
    if (!printer_.newPage()) RaiseVbError(482, className());
    ++pages_;
}

void PrinterSurface::endDoc() {
    endPainting();
    inDocument_ = false;
}
