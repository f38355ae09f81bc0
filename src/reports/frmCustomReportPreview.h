// frmCustomReportPreview: the report page preview ("Anteprima"). Towards the report engine a page store
// with a drawing surface: each finished page is kept, pages 1 to 16 in memory and every later one as a
// bitmap file. Towards the print run a modal viewer: page by page, zoomed and scrolled, one page printed
// or copied, or the whole report handed back to be printed on the printer chosen.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Object.h"
#include "reports/PreviewPageFiles.h"

class DrawSurface;
class PainterSurface;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QToolButton;
class QWidget;
class clsSubclassWnd;

class frmCustomReportPreview : public QDialog {
    Q_OBJECT
  public:
    explicit frmCustomReportPreview(QWidget* parent = nullptr);
    ~frmCustomReportPreview() override;

    // The window the runs use: made on first use, gone when a ShowPreview has closed it.
    static frmCustomReportPreview& Default();
    // Unloads the default window when it is still there (a run ended without showing it).
    static void ReleaseDefault();
    // The window as the device handed to the engine's SetParameter, and back.
    ObjectRef AsDevice();
    static frmCustomReportPreview* FromDevice(const Variant& device);

    // Shows the pages modally over `parent`; returns the printer chosen to print the whole report, or
    // an empty text. The window is unloaded afterwards (its page files deleted).
    QString ShowPreview(QWidget* parent);
    // Stores the page in progress as the next page; nothing when none is in progress.
    void CommitAddingPage();
    // Drops the page in progress.
    void CancelAddingPage();
    int16_t PageCount() const { return m_intPageCount; }
    // Commits the page in progress and starts the next one: the drawing surface, emptied.
    std::shared_ptr<DrawSurface> PageAdd();
    // Empties the store.
    void PageClear();
    int16_t PageIndex() const { return m_intPageIndex; }
    void SetPageIndex(int16_t index);
    // Shows the current page (the page in progress is committed first) and updates the command bar.
    void RefreshView();

    // The folder of the page files; empty before page 17.
    QString PageFolder() const { return m_objFiles.folder(); }
    // The picture of the page shown (null when none).
    const QImage& ShownPage() const { return shown_; }

    // Commands, as the controls run them.
    void cmdFirst_Click();
    void cmdLast_Click();
    void txtPage_Apply();
    void chkPrintImage_Click();
    void cmdClipBoardImage_Click();
    void chkStretch_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    // Scroll steps of the view, in pixels (50 and 1000 twips).
    static constexpr int kScrollSmallStep = 3;
    static constexpr int kScrollLargeStep = 67;

    void buildControls();
    QWidget* makeImageView();
    void unload();
    void beginPreviewPage();
    void clearPage();
    void updatePageLabel();
    void showError(const QString& text);
    // True when the key was the window's (pages, scrolling, Esc).
    bool previewKey(int key);
    void arrangePreviewImage();
    void scrollBy(QScrollBar* bar, int steps);

    QWidget* pnlCenter_ = nullptr;
    QWidget* imgView_ = nullptr;
    QScrollBar* vsImage_ = nullptr;
    QScrollBar* hsImage_ = nullptr;
    QWidget* pnlBottom_ = nullptr;
    QToolButton* cmdFirst_ = nullptr;
    QToolButton* cmdLast_ = nullptr;
    QSpinBox* txtPage_ = nullptr;
    QLabel* lblTotPage_ = nullptr;
    QToolButton* chkPrintImage_ = nullptr;
    QCheckBox* chkPrintCurrent_ = nullptr;
    QToolButton* cmdClipBoardImage_ = nullptr;
    QCheckBox* chkStretch_ = nullptr;
    QRadioButton* optStretchAuto_ = nullptr;
    QRadioButton* optStretchArea_ = nullptr;
    QRadioButton* optStretch300_ = nullptr;
    QRadioButton* optStretch200_ = nullptr;
    QPushButton* cmdEsci_ = nullptr;
    std::unique_ptr<clsSubclassWnd> m_obSubClassImg;

    int16_t m_intPageIndex = 0;
    int16_t m_intNewPage = 0;
    QString m_strPrinterName;
    int16_t m_intPageCount = 0;
    std::vector<QImage> m_objPages;
    PreviewPageFiles m_objFiles;
    std::shared_ptr<PainterSurface> picPage_;
    bool pageBlank_ = true;  // picPage holds nothing since it was last emptied
    QImage shown_;
    bool unloaded_ = false;
};
