// clsCustomReport: the report print engine. It lays report modules (one printed instance of the layout)
// out in columns, rows of modules and pages, on the current printer or on the pages of the report
// preview; inside each module it fills a band of detail rows, paints the background image once and
// draws what the layout script asks. Measures are millimetres; positions are Y first, then X, from the
// current module's top-left corner, or from the current row's while RowPrinting is on. Scripts reach it
// as "prn".
#pragma once

#include <QImage>
#include <QPointer>
#include <QString>

#include <memory>

#include "base/Dispatch.h"
#include "labels/ScriptVariables.h"
#include "reports/frmCustomReportPreview.h"

class DrawSurface;

class clsCustomReport : public Dispatch {
  public:
    clsCustomReport();
    ~clsCustomReport() override;  // ends the reports, as EndReports

    // device: a printer's device name (an unknown name keeps the current printer) or the preview
    // window's device (frmCustomReportPreview::AsDevice). A module size of 0 takes the page less twice
    // the margin; a rows bottom of 0 the paper height. A rows dimension of 0 or less is refused.
    void SetParameter(const Variant& device, float reportHeight = 0, float reportWidth = 0,
                      float reportTop = 0, float reportLeft = 0, int16_t moduleColumns = 0, float rowsDim = 5,
                      float rowsTop = 30, float rowsBottom = 30, const QString& backImageFile = {},
                      float bottomImageBorder = 6, const QString& vbScript = {}, bool horizontal = false,
                      const QString& groupName = {});
    // Re-targets the engine to a printer (a finished preview printed): positions and counters reset.
    void ChangePrinter(const QString& deviceName);
    void InitializeVars();
    // The start of a further copy or item within one pass: it goes on in the next module (the current
    // one when nothing was drawn in it), its module counter from 0, nothing cleared or overprinted.
    void ContinueInNextModule();

    // ---- drawing (positions relative to the module, or to the row while RowPrinting) ----
    float TxtOut(float posY, float posX, const QString& text, float wrapLen = 0,
                 bool keepOriginalWrap = false);
    float TxtOutR(float posY, float endPosX, const QString& text);
    void BoxOut(float posY, float posX, float dimY, float dimX, bool fill = false, bool shadow = false);
    void PrintObject(const QString& classId, const QString& fileNameSetting, const QString& printMethod = {});
    void CircleOut(float posY, float posX, float radius, bool fill = false);
    void LineOut(float posY, float posX, float toPosY, float toPosX);
    void ImageOut(const QString& file, float posY, float posX, float dimY = 0, float dimX = 0,
                  bool stretch = true);
    float Barcode128bOut(float posY, float posX, float dimY, float baseBarDimX, const QString& code);
    float TxtOutV(float posY, float posX, const QString& text, bool downToUp = false, bool growDown = false);
    void SetFont(int16_t size, bool bold = false, bool italic = false, const QString& fontName = {},
                 bool underline = false);
    int32_t Color() const { return m_lngColor; }
    void SetColor(int32_t color);

    // ---- modules, rows, background ----
    void LoadBackImage();
    void NextReportModule();
    void NextReport() { NextReportModule(); }
    void NewReportRow();
    void NewRow() { NewReportRow(); }
    // Ends the printed document; true when it came out (a PDF printer's file was written).
    bool EndReports();
    void RowEnd();
    bool RowPrinting() const { return m_blnRowPrinting; }
    void SetRowPrinting(bool on) { m_blnRowPrinting = on; }
    float CurX() const;
    float CurY() const;
    float RowY(bool absolute = false) const;
    bool LastRow() const;
    float AvailableRowDim() const;
    bool ValidateRowDim() const;
    float AvailableRowDimNext() const;
    bool ValidateRowDimNext() const;
    QString BackImageFile() const { return m_strBackImageFile; }
    const QImage& BackImage() const { return m_picBackImage; }
    int16_t ReportModuleCount() const { return m_intModuleCount; }
    int16_t ReportCount() const { return m_intModuleCount; }
    bool ReportModuleIsEmpty() const { return !m_blnModuleDrawn; }
    // Nothing at all was drawn on the current page (the preview drops such a last page).
    bool ReportPageIsEmpty() const { return !m_blnPageDrawn; }
    ScriptVariables& Vars() { return m_colVars; }
    void ResetVars() { m_colVars.reset(); }
    QString VBScript() const { return m_strVBScript; }
    bool IgnoreNextNewRow() const { return m_blnIgnoreNextNewRow; }
    void SetIgnoreNextNewRow(bool ignore) { m_blnIgnoreNextNewRow = ignore; }
    bool Preview() const;
    float RowDim() const { return m_sngRowDim; }
    float RowDimCur() const { return m_sngRowDimCur; }
    float RowDimText() const { return m_sngRowDimText; }
    void SetRowDimCur(float dim);
    QString DataReferenceName() const { return m_strDataReferenceName; }
    void SetDataReferenceName(const QString& name) { m_strDataReferenceName = name; }
    QString ReportGroupName() const { return m_strReportGroupName; }
    void SetReportGroupName(const QString& name) { m_strReportGroupName = name; }
    bool MarkOutputAreas() const { return m_blnMarkOutputAreas; }
    void SetMarkOutputAreas(bool mark) { m_blnMarkOutputAreas = mark; }

    // The surface drawn on (null before SetParameter) and the preview window (null when printing).
    const std::shared_ptr<DrawSurface>& Output() const { return m_objOutput; }
    frmCustomReportPreview* PreviewWindow() const { return m_objPreview; }
    float ReportHeight() const { return m_sngReportHeight; }
    float ReportWidth() const { return m_sngReportWidth; }

  private:
    DrawSurface& output() const;
    // The paper of the current printer in the wanted orientation, in millimetres.
    QSizeF paperSize() const;
    void setPageDimensions(DrawSurface& surface);
    void deriveModuleSize(const QSizeF& page);
    void printBackImageOnce();
    void addPreviewPage();
    void markOutputAreas();
    // Output begins on the page: the background first, and the page counts as drawn.
    void drawing();
    float moduleX(float posX) const { return m_sngReportLeft + m_sngModuleX + posX; }
    float moduleY(float posY) const { return m_sngReportTop + m_sngModuleY + posY; }

    float m_sngModuleX = 0;
    float m_sngModuleY = 0;
    float m_sngRowY = 0;
    float m_sngReportHeight = 0;
    float m_sngReportWidth = 0;
    float m_sngRowDim = 0;
    float m_sngRowDimCur = 0;
    float m_sngRowDimText = 0;
    float m_sngRowsTop = 0;
    float m_sngRowsBottom = 0;
    float m_sngReportTop = 0;
    float m_sngReportLeft = 0;
    int16_t m_intColumns = 0;
    QString m_strVBScript;
    int16_t m_intModuleColumn = 0;
    int16_t m_intModuleCount = 0;
    std::shared_ptr<DrawSurface> m_objOutput;
    QPointer<frmCustomReportPreview> m_objPreview;
    bool m_blnRowPrinting = false;
    bool m_blnModuleDrawn = false;
    QString m_strBackImageFile;
    float m_sngBottomImageBorder = 0;
    QImage m_picBackImage;
    bool m_blnIgnoreNextNewRow = false;
    int32_t m_lngColor = 0;
    QString m_strDataReferenceName;
    bool m_blnHorizontal = false;
    QString m_strReportGroupName;
    bool m_blnMarkOutputAreas = false;
    ScriptVariables m_colVars;

    // The module size the layout asked for (0: from the page), derived again at every set-up.
    float m_sngHeightAsSet = 0;
    float m_sngWidthAsSet = 0;
    bool m_blnPageDrawn = false;
};
