// The report engine's drawing members: the labels' drawing helpers placed in the current module or row,
// the background painted under the first output of each module.
#include "labels/ObjectPrinting.h"
#include "labels/SurfaceDrawing.h"
#include "labels/modBarcodeGenerator.h"
#include "platform/DrawSurface.h"
#include "reports/clsCustomReport.h"

namespace {

constexpr int32_t kShadowColor = 0xC0C0C0;
constexpr float kShadow = 0.8f;

}  // namespace

float clsCustomReport::TxtOut(float posY, float posX, const QString& text, float wrapLen,
                              bool keepOriginalWrap) {
    drawing();
    DrawSurface& out = output();
    const float top = CurY();
    const float width = DrawTextLines(out, CurX() + posX, top + posY, text, wrapLen, keepOriginalWrap, true);
    // The depth the text reached below the module's (or row's) top, its last line included.
    if (!text.isEmpty()) {
        const float depth = static_cast<float>(out.currentY()) - top;
        if (depth > m_sngRowDimText) m_sngRowDimText = depth;
    }
    return width;
}

float clsCustomReport::TxtOutR(float posY, float endPosX, const QString& text) {
    drawing();
    return DrawTextRight(output(), CurY() + posY, CurX() + endPosX, text);
}

float clsCustomReport::TxtOutV(float posY, float posX, const QString& text, bool downToUp, bool growDown) {
    drawing();
    return DrawTurnedText(output(), CurX() + posX, CurY() + posY, text, downToUp, growDown, m_lngColor,
                          *this);
}

void clsCustomReport::BoxOut(float posY, float posX, float dimY, float dimX, bool fill, bool shadow) {
    drawing();
    DrawSurface& out = output();
    const float x = CurX() + posX, y = CurY() + posY, x2 = x + dimX, y2 = y + dimY;
    DrawBox(out, x, y, x2, y2, fill);
    if (!shadow || qAbs(dimY) < 2 || qAbs(dimX) < 2) return;
    // A grey strip under the box and one at its right, offset by the pen's width.
    out.setFillColor(kShadowColor);
    out.setForeColor(kShadowColor);
    out.setFillStyle(FillStyles::kSolid);
    float d = static_cast<float>(out.drawWidth() / out.pixelsPerMm() * out.unitsPerMmY());
    out.box(QPointF(x + kShadow + d, y2 + d), QPointF(x2 + kShadow + d, y2 + kShadow + d));
    d = static_cast<float>(out.drawWidth() / out.pixelsPerMm() * out.unitsPerMmX());
    out.box(QPointF(x2 + d, y + kShadow + d), QPointF(x2 + kShadow + d, y2 + kShadow + d));
    out.setFillColor(m_lngColor);
    out.setForeColor(m_lngColor);
    out.setFillStyle(FillStyles::kTransparent);
}

void clsCustomReport::CircleOut(float posY, float posX, float radius, bool fill) {
    drawing();
    DrawCircle(output(), CurX() + posX, CurY() + posY, radius, fill);
}

void clsCustomReport::LineOut(float posY, float posX, float toPosY, float toPosX) {
    drawing();
    DrawLine(output(), CurX() + posX, CurY() + posY, CurX() + toPosX, CurY() + toPosY);
}

void clsCustomReport::ImageOut(const QString& file, float posY, float posX, float dimY, float dimX,
                               bool stretch) {
    drawing();
    // From the module's corner, whatever RowPrinting says.
    DrawImageFile(output(), file, moduleX(posX), moduleY(posY), dimY, dimX, stretch);
}

float clsCustomReport::Barcode128bOut(float posY, float posX, float dimY, float baseBarDimX,
                                      const QString& code) {
    drawing();
    return DrawBarcode128(output(), code, CurY() + posY, CurX() + posX, dimY, baseBarDimX);
}

void clsCustomReport::SetFont(int16_t size, bool bold, bool italic, const QString& fontName, bool underline) {
    SetSurfaceFont(output(), size, bold, italic, fontName, underline);
}

void clsCustomReport::SetColor(int32_t color) {
    m_lngColor = color;
    DrawSurface& out = output();
    out.setFillColor(color);
    out.setForeColor(color);
}

void clsCustomReport::PrintObject(const QString& classId, const QString& fileNameSetting,
                                  const QString& printMethod) {
    PrintThroughObjectViewer(*this, classId, fileNameSetting, printMethod, Preview(), m_blnHorizontal);
}
