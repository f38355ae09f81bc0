// frmLabelPreview: the label preview window ("Anteprima"): one row of labels drawn on a picture the
// size of the row on the screen. Esc closes it.
#pragma once

#include <QDialog>

#include <memory>

class PainterSurface;

class frmLabelPreview : public QDialog {
    Q_OBJECT
  public:
    explicit frmLabelPreview(QWidget* parent = nullptr);
    ~frmLabelPreview() override;

    // A fresh, empty picture for the engine to draw on (it sizes it to the row of labels).
    std::shared_ptr<PainterSurface> NewSurface();
    const std::shared_ptr<PainterSurface>& Surface() const { return surface_; }
    // Sizes the window to its picture, as large on the screen as the engine made it.
    void FitToSurface();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::shared_ptr<PainterSurface> surface_;
};
