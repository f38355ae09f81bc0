// The object viewer: hosting, layout, the print method text and the activation.
#include "labels/frmObjectView.h"

#include <QPushButton>
#include <QShowEvent>

#include "base/AppError.h"
#include "labels/HostedControls.h"
#include "labels/PrintMethodText.h"
#include "platform/Prompt.h"
#include "startup/modZeltoFormUtility.h"

namespace {

const QChar kCr(u'\r');

}  // namespace

frmObjectView::frmObjectView(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmObjectView"));
    setWindowTitle(QStringLiteral("Anteprima documenti/immagini esterne"));
    setModal(true);
    cmdExit_ = new QPushButton(QStringLiteral("&Esci / Continua"), this);
    cmdExit_->setObjectName(QStringLiteral("cmdExit"));
    cmdPrint_ = new QPushButton(QStringLiteral("&Stampa"), this);
    cmdPrint_->setObjectName(QStringLiteral("cmdPrint"));
    cmdPrint_->setVisible(false);
    cmdExit_->setAutoDefault(false);
    cmdPrint_->setAutoDefault(false);
    connect(cmdExit_, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    resize(640, 480);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
}

frmObjectView::~frmObjectView() {
    removeObject();
}

void frmObjectView::removeObject() {
    if (widget_) delete widget_.data();
    widget_ = nullptr;
    object_.reset();
}

ObjectRef frmObjectView::SetObject(const QString& classId, const QString& name, const QString& printMethod,
                                   bool userConfirmation) {
    removeObject();
    try {
        name_ = name;
        printMethod_ = printMethod;
        userConfirmation_ = userConfirmation;
        HostedControl control = HostedControls::Create(classId, this);
        widget_ = control.widget;
        object_ = control.object;
        widget_->setObjectName(name);
        AdjustObjectSize();
        return object_;
    } catch (const AppError& e) {
        removeObject();
        Prompt::instance().msgBox(e.description(), MsgBoxStyle::vbOKOnly, g_strMsgBoxTitle, this);
        return nullptr;
    }
}

void frmObjectView::AdjustObjectSize() {
    const int width = this->width();
    const int buttonHeight = cmdExit_->sizeHint().height();
    const int objectHeight = std::max(0, height() - buttonHeight);
    if (widget_) widget_->setGeometry(0, 0, width, objectHeight);
    if (printMethod_.isEmpty()) {
        cmdPrint_->setVisible(false);
        cmdExit_->setGeometry(0, objectHeight, width, buttonHeight);
        return;
    }
    cmdExit_->setGeometry(0, objectHeight, width / 2, buttonHeight);
    cmdPrint_->setGeometry(width / 2, objectHeight, width - width / 2, buttonHeight);
    cmdPrint_->setVisible(true);
}

void frmObjectView::cmdPrint_Click() {
    if (!object_ || printMethod_.trimmed().isEmpty()) return;
    PrintMethodText call = PrintMethodText::Parse(printMethod_);
    if (!call.callable) return;
    try {
        object_->invoke(call.name, CallKind::Method, call.args);
    } catch (const AppError& e) {
        Prompt::instance().msgBox(QStringLiteral("Stampa fallita, l'errore è: ") + e.description() + kCr +
                                      kCr + QStringLiteral("Metodo: ") + printMethod_,
                                  MsgBoxStyle::vbExclamation, g_strMsgBoxTitle, this);
    }
}

void frmObjectView::cmdExit_Click() {
    done(QDialog::Accepted);
}

void frmObjectView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    // After the window is up, as an activation comes after showing.
    QMetaObject::invokeMethod(
        this, [this] { activate(); }, Qt::QueuedConnection);
}

void frmObjectView::activate() {
    if (!widget_) {
        Prompt::instance().msgBox(
            QStringLiteral("Devi usare il metodo <SetObject> per impostare la visualizzazione dell'oggetto"),
            MsgBoxStyle::vbExclamation, g_strMsgBoxTitle, this);
        done(QDialog::Rejected);
        return;
    }
    if (!widget_->isVisible()) widget_->setVisible(true);
    if (!userConfirmation_) {
        cmdPrint_Click();
        done(QDialog::Accepted);
    }
}

void frmObjectView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (widget_) AdjustObjectSize();
}

void frmObjectView::done(int result) {
    QDialog::done(result);
    removeObject();
    activated_ = false;
}
