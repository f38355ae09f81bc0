// frmObjectView: the viewer through which a layout prints an external document or picture: it hosts a
// control of one of our classes (HostedControls), hands its script face to the engine to configure,
// shows it and prints it with its print method text, at activation or when the user presses "Stampa".
#pragma once

#include <QDialog>
#include <QPointer>

#include "base/Object.h"

class QPushButton;

class frmObjectView : public QDialog {
    Q_OBJECT
  public:
    explicit frmObjectView(QWidget* parent = nullptr);
    ~frmObjectView() override;

    // Hosts a new control of the class under `name` (any control hosted before goes); the print method
    // text ("" = no print button) and whether the user confirms (True) or the window prints and closes
    // at activation (False). Returns the control's script face, or null after showing why it failed.
    ObjectRef SetObject(const QString& classId, const QString& name, const QString& printMethod = {},
                        bool userConfirmation = false);
    // The control over the window, the buttons in a row under it.
    void AdjustObjectSize();

    void cmdPrint_Click();
    void cmdExit_Click();

    QWidget* HostedWidget() const { return widget_; }
    QPushButton* PrintButton() const { return cmdPrint_; }
    QPushButton* ExitButton() const { return cmdExit_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

  private:
    void activate();
    void removeObject();

    QPushButton* cmdExit_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPointer<QWidget> widget_;
    ObjectRef object_;
    QString name_;
    QString printMethod_;
    bool userConfirmation_ = false;
    bool activated_ = false;
};
