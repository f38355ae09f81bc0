// clsLabelPrint: the label print engine. It places labels on a sheet (columns, then rows, then pages)
// on the current printer or on a preview surface, draws what the layout script asks at the current
// label, and keeps the script's variables. Measures are millimetres; positions are Y first, then X,
// from the current label's top-left corner. Scripts reach it as "prn".
#pragma once

#include <memory>

#include "base/Dispatch.h"
#include "labels/ScriptVariables.h"

class DrawSurface;

class clsLabelPrint : public Dispatch {
  public:
    clsLabelPrint();
    ~clsLabelPrint() override;  // ends the labels, as EndLabels

    // device: a printer's device name (an unknown or empty name keeps the current printer) or a
    // preview surface object. A size of 0 takes the printer's printable page.
    void SetParameter(const Variant& device, float labelHeight = 0, float labelWidth = 0, float labelTop = 0,
                      float labelLeft = 0, int16_t columns = 0, bool autoEndDocument = true,
                      bool horizontal = false);
    float TxtOut(float posY, float posX, const QString& text, float wrapLen = 0,
                 bool keepOriginalWrap = false);
    float TxtOutR(float posY, float endPosX, const QString& text);
    void BoxOut(float posY, float posX, float dimY, float dimX, bool fill = false);
    void CircleOut(float posY, float posX, float radius, bool fill = false);
    void LineOut(float posY, float posX, float toPosY, float toPosX);
    void ImageOut(const QString& file, float posY, float posX, float dimY = 0, float dimX = 0,
                  bool stretch = true);
    float Barcode128bOut(float posY, float posX, float dimY, float baseBarDimX, const QString& code);
    void NextLabel();
    void SetFont(int16_t size, bool bold = false, bool italic = false, const QString& fontName = {},
                 bool underline = false);
    float TxtOutV(float posY, float posX, const QString& text, bool downToUp = false,
                  bool baseToLastChar = false);
    void ForceEndDocument();
    int16_t PageLabelCount() const { return m_intPageLabelCount; }
    void EndLabels();
    int32_t Color() const { return m_lngColor; }
    void SetColor(int32_t color);
    bool IgnoreLabel() const { return m_blnIgnoreLabel; }
    void SetIgnoreLabel(bool value) { m_blnIgnoreLabel = value; }
    // Prints an external document through the object viewer: the control of that class, configured by
    // the setting text (a property "Name=value" or a method "Name argument"), printed by the print
    // method text at once on the printer or when the user asks on a preview.
    void PrintObject(const QString& classId, const QString& fileNameSetting, const QString& printMethod = {});
    bool Preview() const;
    ScriptVariables& Vars() { return m_colVars; }
    void ResetVars() { m_colVars.reset(); }
    int16_t CopyCount() const { return m_intCopyCount; }
    void SetCopyCount(int16_t value) { m_intCopyCount = value; }
    int16_t NextCopy();

    // The surface the labels go to; null before SetParameter.
    const std::shared_ptr<DrawSurface>& Output() const { return m_objOutput; }

  private:
    void InitOutput();
    void SizeOutputToPage(DrawSurface& surface);
    DrawSurface& output() const;
    float labelX(float posX) const { return m_sngLabelLeft + m_sngLabelX + posX; }
    float labelY(float posY) const { return m_sngLabelTop + m_sngLabelY + posY; }

    float m_sngLabelX = 0;
    float m_sngLabelY = 0;
    float m_sngLabelHeight = 0;
    float m_sngLabelWidth = 0;
    float m_sngLabelTop = 0;
    float m_sngLabelLeft = 0;
    int16_t m_intPageLabelCount = 0;
    int16_t m_intColumns = 0;
    int16_t m_intColumn = 0;
    std::shared_ptr<DrawSurface> m_objOutput;
    bool m_blnAutoEndDocument = false;
    float m_sngPageHeight = 0;
    float m_sngPageWidth = 0;
    bool m_blnHorizontal = false;
    int32_t m_lngColor = 0;
    bool m_blnIgnoreLabel = false;
    int16_t m_intCopyCount = 0;
    ScriptVariables m_colVars;
};
