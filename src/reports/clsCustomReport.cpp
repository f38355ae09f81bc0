// The report engine: set-up, module, row and page geometry, the background image, the preview pages and
// the end of the reports. The drawing members are in clsCustomReportDrawing.cpp.
#include "reports/clsCustomReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <limits>

#include "base/AppError.h"
#include "labels/SurfaceDrawing.h"
#include "platform/DrawSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/PrinterSurface.h"
#include "platform/modOSWinUtil.h"
#include "reports/clsCustomReportDispatch.h"
#include "reports/frmCustomReportPreview.h"

namespace {

const QString kNoPrinter = QStringLiteral("Nessuna stampante configurata.");
constexpr int kEventsIntervalMs = 15;

int16_t increment(int16_t value) {
    if (value == std::numeric_limits<int16_t>::max()) RaiseVbError(6);
    return static_cast<int16_t>(value + 1);
}

QString numberText(float value) {
    return Variant(value).toText();
}

// Pending window events while rows are drawn, at most every few milliseconds: a long report keeps the
// window alive without paying for the events at every row.
void processPendingEvents() {
    static QElapsedTimer since;
    if (since.isValid() && since.elapsed() < kEventsIntervalMs) return;
    QCoreApplication::processEvents();
    since.start();
}

}  // namespace

clsCustomReport::clsCustomReport() : Dispatch(CustomReportMembers()) {}

clsCustomReport::~clsCustomReport() {
    try {
        EndReports();
    } catch (...) {
        // Ending the document is best effort when the engine goes.
    }
}

DrawSurface& clsCustomReport::output() const {
    if (!m_objOutput) RaiseVbError(91, className());
    return *m_objOutput;
}

bool clsCustomReport::Preview() const {
    return !m_objOutput || !m_objOutput->isPrinter();
}

void clsCustomReport::SetParameter(const Variant& device, float reportHeight, float reportWidth,
                                   float reportTop, float reportLeft, int16_t moduleColumns, float rowsDim,
                                   float rowsTop, float rowsBottom, const QString& backImageFile,
                                   float bottomImageBorder, const QString& vbScript, bool horizontal,
                                   const QString& groupName) {
    // Rows of no height would never fill the band: RowEnd and the row loop could not end.
    if (!(rowsDim > 0))
        RaiseAppError(*this, QStringLiteral("L'altezza delle righe di dettaglio (") + numberText(rowsDim) +
                                 QStringLiteral(") deve essere maggiore di zero"));
    PrinterRegistry& printers = PrinterRegistry::instance();
    if (device.isString()) {
        if (auto found = printers.find(device.stringValue())) printers.setCurrent(found);
        m_objOutput = printers.current();
        m_objPreview = nullptr;
    } else {
        frmCustomReportPreview* window = frmCustomReportPreview::FromDevice(device);
        if (!window) RaiseVbError(device.isObject() ? 13 : 91, className());
        m_objPreview = window;
        m_objOutput.reset();
    }
    m_sngHeightAsSet = reportHeight;
    m_sngWidthAsSet = reportWidth;
    m_sngReportHeight = reportHeight;
    m_sngReportWidth = reportWidth;
    m_sngReportTop = reportTop;
    m_sngReportLeft = reportLeft;
    m_intColumns = moduleColumns;
    m_sngRowsTop = rowsTop;
    m_sngRowsBottom = rowsBottom;
    m_strBackImageFile = backImageFile;
    m_sngBottomImageBorder = bottomImageBorder;
    m_strVBScript = vbScript;
    m_blnHorizontal = horizontal;
    m_strReportGroupName = groupName;
    m_sngRowDim = rowsDim;
    m_sngRowDimCur = rowsDim;
    m_sngRowDimText = 0;
    m_picBackImage = QImage();
    if (!backImageFile.isEmpty()) {
        const QString path = MakeAbsolutePath(backImageFile);
        const PictureFile read = ReadPictureFile(path, m_picBackImage);
        if (read == PictureFile::NotAFile) RaiseVbError(53, className());
        if (read == PictureFile::NotAPicture) RaiseVbError(481, className());
    }
    if (m_sngRowsBottom == 0) {
        if (printers.count() == 0 || !printers.current())
            RaiseAppError(*this, kNoPrinter + QStringLiteral("\r\rImpossibile stabilire le dimensioni "
                                                             "predefinite del foglio..."));
        const std::shared_ptr<DrawSurface> printer = printers.current();
        const auto* sheet = dynamic_cast<const PrinterSurface*>(printer.get());
        m_sngRowsBottom =
            static_cast<float>(sheet ? sheet->paperSize().height() : printer->physicalSize().height());
    }
    InitializeVars();
}

void clsCustomReport::ChangePrinter(const QString& deviceName) {
    PrinterRegistry& printers = PrinterRegistry::instance();
    if (auto found = printers.find(deviceName)) printers.setCurrent(found);
    m_objOutput = printers.current();
    m_objPreview = nullptr;
    InitializeVars();
}

QSizeF clsCustomReport::paperSize() const {
    const std::shared_ptr<DrawSurface> printer = PrinterRegistry::instance().current();
    if (!printer) RaiseAppError(*this, kNoPrinter);
    const auto* sheet = dynamic_cast<const PrinterSurface*>(printer.get());
    QSizeF paper = sheet ? sheet->paperSize() : printer->physicalSize();
    if (printer->orientation() != (m_blnHorizontal ? 2 : 1)) paper.transpose();
    return paper;
}

// A module size of 0 takes the page less twice the margin, shared among the columns: on paper and on
// the preview alike, so that the preview shows what prints.
void clsCustomReport::deriveModuleSize(const QSizeF& page) {
    if (m_sngReportHeight == 0) m_sngReportHeight = static_cast<float>(page.height()) - 2 * m_sngReportTop;
    if (m_sngReportWidth == 0)
        m_sngReportWidth = (static_cast<float>(page.width()) - 2 * m_sngReportLeft) / m_intColumns;
}

void clsCustomReport::InitializeVars() {
    m_sngModuleX = 0;
    m_sngModuleY = 0;
    m_sngRowY = 0;
    m_intModuleColumn = 0;
    m_intModuleCount = 0;
    m_blnRowPrinting = false;
    m_blnModuleDrawn = false;
    m_blnIgnoreNextNewRow = false;
    m_blnPageDrawn = false;
    if (m_intColumns == 0) m_intColumns = 1;
    m_lngColor = 0;
    m_sngReportHeight = m_sngHeightAsSet;
    m_sngReportWidth = m_sngWidthAsSet;
    if (m_objPreview) {
        m_objPreview->PageClear();
        m_objOutput = m_objPreview->PageAdd();
        DrawSurface& out = *m_objOutput;
        out.setFontTransparent(true);
        setPageDimensions(out);
    } else {
        if (!m_objOutput) RaiseAppError(*this, kNoPrinter);
        DrawSurface& out = *m_objOutput;
        if (!out.isMillimetreScale()) out.setScaleMillimetres();
        const int wanted = m_blnHorizontal ? 2 : 1;
        if (out.orientation() != wanted) out.setOrientation(wanted);
        if (m_sngReportHeight == 0 || m_sngReportWidth == 0) deriveModuleSize(paperSize());
    }
    m_objOutput->setFontTransparent(true);
    SetColor(m_lngColor);
}

void clsCustomReport::setPageDimensions(DrawSurface& surface) {
    if (m_sngReportHeight == 0 || m_sngReportWidth == 0) deriveModuleSize(paperSize());
    // A preview page is the top margin and one row of modules, the left margin and every column, at
    // its actual size; one unit of the surface is one millimetre of the page.
    const float ph = m_sngReportTop + m_sngReportHeight;
    const float pw = m_intColumns * m_sngReportWidth + m_sngReportLeft;
    surface.setPhysicalSize(QSizeF(pw, ph));
    surface.setScaleSize(QSizeF(pw, ph));
}

void clsCustomReport::ContinueInNextModule() {
    if (m_blnModuleDrawn) NextReportModule();
    m_intModuleCount = 0;
    m_sngRowY = 0;
    m_sngRowDimCur = m_sngRowDim;
    m_sngRowDimText = 0;
    m_blnRowPrinting = false;
    m_blnIgnoreNextNewRow = false;
    SetColor(0);
}

float clsCustomReport::CurX() const {
    return m_sngReportLeft + m_sngModuleX;
}

float clsCustomReport::CurY() const {
    const float y = m_sngReportTop + m_sngModuleY;
    if (!m_blnRowPrinting) return y;
    return static_cast<float>(RoundHalfEven(double(y + m_sngRowsTop + m_sngRowY) * 100) / 100);
}

float clsCustomReport::RowY(bool absolute) const {
    if (m_blnRowPrinting && !absolute) return 0;
    return m_sngRowsTop + m_sngRowY;
}

void clsCustomReport::printBackImageOnce() {
    if (m_blnModuleDrawn) return;
    LoadBackImage();
    m_blnModuleDrawn = true;
}

void clsCustomReport::drawing() {
    printBackImageOnce();
    m_blnPageDrawn = true;
}

void clsCustomReport::LoadBackImage() {
    if (m_picBackImage.isNull()) return;
    output().paintPicture(
        m_picBackImage,
        QRectF(moduleX(0), moduleY(0), m_sngReportWidth, m_sngReportHeight - m_sngBottomImageBorder),
        QRectF(QPointF(0, 0), QSizeF(m_picBackImage.size())));
    m_blnPageDrawn = true;
}

void clsCustomReport::markOutputAreas() {
    DrawSurface& out = output();
    const float x = moduleX(0), y = moduleY(0);
    out.setFillStyle(FillStyles::kTransparent);
    out.box(QPointF(x + 0.5f, y + 1.0f), QPointF(x + m_sngReportWidth - 0.5f, y + m_sngReportHeight - 0.5f),
            255);
    out.box(QPointF(x + 0.5f, y + m_sngRowsTop + 0.5f),
            QPointF(x + m_sngReportWidth - 0.5f, y + m_sngRowsBottom - 0.5f), 65280);
    m_blnPageDrawn = true;
}

void clsCustomReport::addPreviewPage() {
    if (!m_objPreview) RaiseVbError(91, className());
    m_objPreview->CommitAddingPage();
    m_objOutput = m_objPreview->PageAdd();
}

void clsCustomReport::NextReportModule() {
    printBackImageOnce();
    if (m_blnMarkOutputAreas) markOutputAreas();
    m_intModuleColumn = increment(m_intModuleColumn);
    if (m_intModuleColumn < m_intColumns) {
        m_sngModuleX = m_sngModuleX + m_sngReportWidth;
    } else {
        m_intModuleColumn = 0;
        m_sngModuleX = 0;
        m_sngModuleY = m_sngModuleY + m_sngReportHeight;
        // The top margin is not counted, and a row of modules ending on the page's edge goes on the next.
        if (m_sngModuleY + m_sngReportHeight >= static_cast<float>(output().scaleSize().height())) {
            if (output().isPrinter())
                output().newPage();
            else
                addPreviewPage();
            m_sngModuleY = 0;
            m_blnPageDrawn = false;
        }
    }
    m_sngRowDimCur = m_sngRowDim;
    m_intModuleCount = increment(m_intModuleCount);
    m_sngRowDimText = 0;
    m_blnModuleDrawn = false;
    m_sngRowY = 0;
    m_blnIgnoreNextNewRow = true;
}

void clsCustomReport::NewReportRow() {
    if (!m_blnIgnoreNextNewRow) {
        if (ValidateRowDim())
            m_sngRowY = m_sngRowY + m_sngRowDimCur;
        else
            NextReport();
        m_sngRowDimCur = m_sngRowDim;
        m_sngRowDimText = 0;
        processPendingEvents();
    }
    m_blnIgnoreNextNewRow = false;
}

bool clsCustomReport::LastRow() const {
    return m_sngRowsTop + m_sngRowY + (m_blnIgnoreNextNewRow ? m_sngRowDim : 2 * m_sngRowDim) >=
           m_sngRowsBottom;
}

float clsCustomReport::AvailableRowDim() const {
    return m_sngRowsBottom - (m_sngRowsTop + m_sngRowY);
}

bool clsCustomReport::ValidateRowDim() const {
    return AvailableRowDim() >= m_sngRowDim;
}

float clsCustomReport::AvailableRowDimNext() const {
    return m_sngRowsBottom - (m_sngRowsTop + m_sngRowY + (m_blnIgnoreNextNewRow ? 0 : m_sngRowDimCur));
}

bool clsCustomReport::ValidateRowDimNext() const {
    return AvailableRowDimNext() >= m_sngRowDim;
}

void clsCustomReport::RowEnd() {
    m_blnIgnoreNextNewRow = false;
    while (!LastRow())
        NewReportRow();
}

void clsCustomReport::SetRowDimCur(float dim) {
    if (dim > m_sngRowDim)
        RaiseAppError(*this, QStringLiteral("La nuova dimensione della riga corrente (") + numberText(dim) +
                                 QStringLiteral(") non può superare quella predefinita (") +
                                 numberText(m_sngRowDim) + QStringLiteral(")"));
    m_sngRowDimCur = dim;
}

bool clsCustomReport::EndReports() {
    bool written = false;
    if (m_objOutput && m_objOutput->isPrinter()) {
        try {
            m_objOutput->endDoc();
            const auto* sheet = dynamic_cast<const PrinterSurface*>(m_objOutput.get());
            written = !sheet || sheet->documentWritten();
        } catch (...) {
            // A printer that fails to end its document has nothing more to say here.
        }
    } else {
        m_objPreview = nullptr;
    }
    m_objOutput.reset();
    m_sngModuleX = 0;
    m_sngModuleY = 0;
    m_intModuleColumn = 0;
    return written;
}
