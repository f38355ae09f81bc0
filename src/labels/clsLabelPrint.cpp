// The label engine: sheet geometry, pages, end of document, copies; drawing through the shared helpers.
#include "labels/clsLabelPrint.h"

#include <limits>

#include "base/AppError.h"
#include "labels/ObjectPrinting.h"
#include "labels/SurfaceDrawing.h"
#include "labels/clsLabelPrintDispatch.h"
#include "labels/modBarcodeGenerator.h"
#include "platform/DrawSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/modOSWinUtil.h"

namespace {

const QString kNoPrinter = QStringLiteral("Nessuna stampante configurata.");

// The engine's counters are 16-bit: running past the top is an overflow, as it always was.
int16_t increment(int16_t value) {
    if (value == std::numeric_limits<int16_t>::max()) RaiseVbError(6);
    return static_cast<int16_t>(value + 1);
}

}  // namespace

clsLabelPrint::clsLabelPrint() : Dispatch(LabelPrintMembers()) {}

clsLabelPrint::~clsLabelPrint() {
    try {
        EndLabels();
    } catch (...) {
        // Ending the document is best effort when the engine goes.
    }
}

DrawSurface& clsLabelPrint::output() const {
    if (!m_objOutput) RaiseVbError(91, className());
    return *m_objOutput;
}

bool clsLabelPrint::Preview() const {
    return !m_objOutput || !m_objOutput->isPrinter();
}

void clsLabelPrint::SetParameter(const Variant& device, float labelHeight, float labelWidth, float labelTop,
                                 float labelLeft, int16_t columns, bool autoEndDocument, bool horizontal) {
    PrinterRegistry& printers = PrinterRegistry::instance();
    if (device.isString()) {
        auto found = printers.find(device.stringValue());
        auto current = printers.current();
        if (found && (!current || current->deviceName() != found->deviceName())) printers.setCurrent(found);
        m_objOutput = printers.current();
    } else {
        const ObjectRef object = device.toObject();
        if (!object) RaiseVbError(91, className());
        auto surface = std::dynamic_pointer_cast<DrawSurface>(object);
        if (!surface) RaiseVbError(13, className());
        m_objOutput = surface;
    }
    m_sngLabelHeight = labelHeight;
    m_sngLabelWidth = labelWidth;
    m_sngLabelTop = labelTop;
    m_sngLabelLeft = labelLeft;
    m_intColumns = columns;
    m_blnAutoEndDocument = autoEndDocument;
    m_blnHorizontal = horizontal;
    if (m_sngLabelHeight == 0 || m_sngLabelWidth == 0) {
        if (printers.count() == 0)
            RaiseAppError(*this, kNoPrinter + QStringLiteral("\r\rImpossibile stabilire le dimensioni "
                                                             "predefinite del foglio..."));
        // The printable page of the current printer, in its current orientation.
        const QSizeF page = printers.current()->physicalSize();
        if (m_sngLabelHeight == 0) m_sngLabelHeight = static_cast<float>(page.height());
        if (m_sngLabelWidth == 0) m_sngLabelWidth = static_cast<float>(page.width());
    }
    InitOutput();
}

void clsLabelPrint::InitOutput() {
    m_sngLabelX = 0;
    m_sngLabelY = 0;
    m_intPageLabelCount = 0;
    if (m_intColumns == 0) m_intColumns = 1;
    m_intColumn = 0;
    m_lngColor = 0;
    m_intCopyCount = 1;
    // Labels of a given size with no printer at all: said plainly rather than as a printer fault.
    if (!m_objOutput) RaiseAppError(*this, kNoPrinter);
    DrawSurface& out = *m_objOutput;
    if (!out.isMillimetreScale()) out.setScaleMillimetres();
    if (!out.isPrinter()) {
        SizeOutputToPage(out);
    } else {
        const int wanted = m_blnHorizontal ? 2 : 1;
        if (out.orientation() != wanted) out.setOrientation(wanted);
        const QSizeF page = out.physicalSize();
        m_sngPageHeight = static_cast<float>(page.height());
        m_sngPageWidth = static_cast<float>(page.width());
        if (m_sngLabelHeight == 0) m_sngLabelHeight = m_sngPageHeight;
        if (m_sngLabelWidth == 0) m_sngLabelWidth = m_sngPageWidth;
    }
    out.setFontTransparent(true);
    SetColor(m_lngColor);
}

// A preview page is one row of labels with its margins, shown at 95 % of the screen in its proportions,
// with a spare millimetre at the right and bottom.
void clsLabelPrint::SizeOutputToPage(DrawSurface& surface) {
    const float h = m_sngLabelTop + m_sngLabelHeight;
    const float w = m_intColumns * m_sngLabelWidth + m_sngLabelLeft;
    if (h == 0 || w == 0) RaiseVbError(11, className());
    surface.setPhysicalSize(PageOnScreen(h, w));
    surface.setScaleSize(QSizeF(w + 1, h + 1));
    m_sngPageHeight = h;
    m_sngPageWidth = w;
}

void clsLabelPrint::NextLabel() {
    if (m_blnIgnoreLabel) {
        m_blnIgnoreLabel = false;
        return;
    }
    DrawSurface& out = output();
    if (!out.isPrinter()) {
        const QPointF corner(m_sngLabelLeft + m_sngLabelX, m_sngLabelTop + m_sngLabelY);
        out.box(corner, corner + QPointF(m_sngLabelWidth, m_sngLabelHeight), 255);
    }
    m_intColumn = increment(m_intColumn);
    m_intPageLabelCount = increment(m_intPageLabelCount);
    if (m_intColumn < m_intColumns) {
        m_sngLabelX = m_sngLabelX + m_sngLabelWidth;
        return;
    }
    m_intColumn = 0;
    m_sngLabelX = 0;
    m_sngLabelY = m_sngLabelY + m_sngLabelHeight;
    // In single precision and from the top margin, as sheets and skip counts are tuned to it: a row
    // whose bottom touches the page height goes on the next page.
    const float bottom = m_sngLabelY + m_sngLabelHeight;
    if (!(bottom < m_sngPageHeight)) {
        if (out.isPrinter()) out.newPage();
        m_sngLabelY = 0;
        m_intPageLabelCount = 0;
    }
}

void clsLabelPrint::ForceEndDocument() {
    if (!m_objOutput || !m_objOutput->isPrinter()) return;
    try {
        m_objOutput->endDoc();
    } catch (...) {
        // A printer that fails to end its document has nothing more to say here.
    }
}

void clsLabelPrint::EndLabels() {
    if (m_blnAutoEndDocument) ForceEndDocument();
    m_sngLabelY = 0;
    m_sngLabelX = 0;
    m_intColumn = 0;
}

int16_t clsLabelPrint::NextCopy() {
    m_intCopyCount = increment(m_intCopyCount);
    return m_intCopyCount;
}

void clsLabelPrint::SetColor(int32_t color) {
    m_lngColor = color;
    DrawSurface& out = output();
    out.setFillColor(color);
    out.setForeColor(color);
}

float clsLabelPrint::TxtOut(float posY, float posX, const QString& text, float wrapLen,
                            bool keepOriginalWrap) {
    return DrawTextLines(output(), labelX(posX), labelY(posY), text, wrapLen, keepOriginalWrap);
}

float clsLabelPrint::TxtOutR(float posY, float endPosX, const QString& text) {
    return DrawTextRight(output(), labelY(posY), labelX(endPosX), text);
}

float clsLabelPrint::TxtOutV(float posY, float posX, const QString& text, bool downToUp,
                             bool baseToLastChar) {
    return DrawTurnedText(output(), labelX(posX), labelY(posY), text, downToUp, baseToLastChar, m_lngColor,
                          *this);
}

void clsLabelPrint::BoxOut(float posY, float posX, float dimY, float dimX, bool fill) {
    const float x = labelX(posX), y = labelY(posY);
    DrawBox(output(), x, y, x + dimX, y + dimY, fill);
}

void clsLabelPrint::CircleOut(float posY, float posX, float radius, bool fill) {
    DrawCircle(output(), labelX(posX), labelY(posY), radius, fill);
}

void clsLabelPrint::LineOut(float posY, float posX, float toPosY, float toPosX) {
    DrawLine(output(), labelX(posX), labelY(posY), labelX(toPosX), labelY(toPosY));
}

void clsLabelPrint::ImageOut(const QString& file, float posY, float posX, float dimY, float dimX,
                             bool stretch) {
    DrawImageFile(output(), file, labelX(posX), labelY(posY), dimY, dimX, stretch);
}

float clsLabelPrint::Barcode128bOut(float posY, float posX, float dimY, float baseBarDimX,
                                    const QString& code) {
    return DrawBarcode128(output(), code, labelY(posY), labelX(posX), dimY, baseBarDimX);
}

void clsLabelPrint::SetFont(int16_t size, bool bold, bool italic, const QString& fontName, bool underline) {
    SetSurfaceFont(output(), size, bold, italic, fontName, underline);
}

void clsLabelPrint::PrintObject(const QString& classId, const QString& fileNameSetting,
                                const QString& printMethod) {
    PrintThroughObjectViewer(*this, classId, fileNameSetting, printMethod, Preview(), m_blnHorizontal);
}
