// The card read/write window.
#include "terminal/carddevices/frmMagneticDev.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "model/ParseCardCode.h"
#include "odb/Database.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "startup/DatabaseOpening.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"
#include "terminal/carddevices/CachedFrameStyle.h"
#include "terminal/carddevices/KeptPictureButton.h"
#include "terminal/carddevices/KeptPictureLabel.h"
#include "terminal/carddevices/clsMagneticCardEvents.h"
#include "terminal/carddevices/itfMagneticCard.h"
#include "terminal/carddevices/modMagneticDev.h"

namespace {

using namespace MsgBoxStyle;

constexpr int kEventInterval = 500;  // ms between looks at the device's completions
const QString kOnReadComplete = QStringLiteral("OnReadComplete");
const QString kOnWriteComplete = QStringLiteral("OnWriteComplete");

frmMagneticDev*& instance() {
    static frmMagneticDev* window = nullptr;
    return window;
}

void message(const QString& text, int style, QWidget* owner) {
    Prompt::instance().msgBox(text, style, {}, owner);
}

bool isEnterKey(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || k->text() == QLatin1String("\r") ||
           k->text() == QLatin1String("\n");
}

// A card held towards the reader's slot.
QPixmap cardPicture() {
    QPixmap picture(96, 64);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(235, 242, 250));
    p.drawRoundedRect(QRectF(4, 6, 80, 50), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(4.75, 14, 78.5, 10));
    p.setBrush(QColor(200, 160, 60));
    p.drawRoundedRect(QRectF(12, 32, 16, 12), 2, 2);
    p.setPen(QPen(QColor(30, 90, 170), 3));
    p.drawLine(QPointF(60, 46), QPointF(90, 46));
    p.drawLine(QPointF(90, 46), QPointF(83, 40));
    p.drawLine(QPointF(90, 46), QPointF(83, 52));
    return picture;
}

// The code box's style: the box is painted at every read, so its frame is copied, not drawn again.
QStyle* codeBoxStyle() {
    static QPointer<CachedFrameStyle> style;
    if (!style) {
        style = new CachedFrameStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

}  // namespace

frmMagneticDev* frmMagneticDev::Get() {
    frmMagneticDev*& window = instance();
    // Built once and loaded again at each use; fonts are applied once, so other font settings
    // need a new window.
    if (window && !window->loaded_ &&
        (window->fontName_ != g_strFontName || window->fontIncrement_ != g_sngFontSizeIncrement)) {
        delete window;
        window = nullptr;
    }
    if (!window)
        window = new frmMagneticDev;
    else if (!window->loaded_)
        window->Load();
    return window;
}

bool frmMagneticDev::IsLoaded() {
    return instance() && instance()->loaded_;
}

frmMagneticDev::frmMagneticDev() {
    setObjectName(QStringLiteral("frmMagneticDev"));
    setWindowTitle(QStringLiteral("Carta Magnetica"));

    // The window is painted whole at every use: its picture, texts and button keep their pictures.
    Image1_ = new KeptPictureLabel(this);
    Image1_->setPixmap(cardPicture());
    Label2_ = new KeptPictureLabel(
        QStringLiteral("Passare la carta magnetica nella fessura del dispositivo."), this);
    Label2_->setWordWrap(true);
    lblMsg_ = new KeptPictureLabel(this);
    QFont bold = lblMsg_->font();
    bold.setBold(true);
    lblMsg_->setFont(bold);
    lblTryAgain_ = new QLabel(QStringLiteral("Riprovare..."), this);
    lblTryAgain_->setFont(bold);
    lblTryAgain_->setStyleSheet(QStringLiteral("color: #c00000"));
    // Its place is kept while hidden, so that blinking it does not squeeze the texts above.
    QSizePolicy keep = lblTryAgain_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    lblTryAgain_->setSizePolicy(keep);
    lblTryAgain_->hide();
    txtKeyCode_ = new QLineEdit(this);
    txtKeyCode_->setStyle(codeBoxStyle());
    txtKeyCode_->setFont(QFont(QStringLiteral("Courier New")));
    txtKeyCode_->setToolTip(
        QStringLiteral("Immissione Codice da Tastiera o da Emulazione (INVIO per confermare)"));
    cmdCancel_ = new KeptPictureButton(QStringLiteral("Annulla"), this);
    cmdCancel_->setAutoDefault(false);
    tmEvent_ = new QTimer(this);
    tmEvent_->setInterval(kEventInterval);

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label2_);
    texts->addWidget(lblMsg_);
    texts->addWidget(lblTryAgain_);
    texts->addWidget(txtKeyCode_);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Image1_, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(cmdCancel_, &QPushButton::clicked, this, &frmMagneticDev::Unload);
    connect(tmEvent_, &QTimer::timeout, this, &frmMagneticDev::tmEvent_Timer);
    // The window sees keys before its controls (keyboard-wedge readers type anywhere).
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    fontName_ = g_strFontName;
    fontIncrement_ = g_sngFontSizeIncrement;
    ApplyFormFont(this, fontName_, fontIncrement_);
    Load();
}

void frmMagneticDev::Load() {
    // The controls as a new window has them: nothing of the previous use shows. The message is
    // set by each use before the window shows; showing a control already shown changes nothing,
    // so the laid-out window is not laid out again.
    Label2_->show();
    lblTryAgain_->hide();
    txtKeyCode_->clear();
    txtKeyCode_->setVisible(g_intMagneticDevType == kDevTypeKeyboard);
    cmdCancel_->show();
    tmEventTag_.clear();
    deviceError_.reset();
    validated_ = false;
    inTick_ = false;
    // The relay of the previous use was released at its unload.
    delete m_objMagneticEvents;
    if (g_intMagneticDevType != kDevTypeKeyboard) {
        m_objMagneticEvents = new clsMagneticCardEvents(this);
        connect(m_objMagneticEvents, &clsMagneticCardEvents::OnReadComplete, this,
                [this](bool completed, const QString& id, const QString& data, const QString&) {
                    OnReadComplete(completed, id, data);
                });
        connect(m_objMagneticEvents, &clsMagneticCardEvents::OnWriteComplete, this,
                [this](bool completed, const QString&) { OnWriteComplete(completed); });
        connect(m_objMagneticEvents, &clsMagneticCardEvents::OnDeviceError, this,
                &frmMagneticDev::OnDeviceError);
    }
    loaded_ = true;
}

frmMagneticDev::~frmMagneticDev() {
    if (instance() == this) instance() = nullptr;
}

QString frmMagneticDev::ReadCode(QWidget* parent, const QString& requiredCodePrefix, bool crypt) {
    frmMagneticDev* window = Get();
    try {
        CreateMagneticDevice(false);
        QString text = QStringLiteral("Lettura del Codice dalla Carta...");
        if (!requiredCodePrefix.isEmpty()) text += QStringLiteral("\rPrefisso: ") + requiredCodePrefix;
        window->setMessage(text);
        window->m_strCode.clear();
        window->m_intOperation = 1;
        window->m_strPrefix = requiredCodePrefix;
        window->m_blnCrypt = crypt;
        window->runModal(parent);
    } catch (const AppError& e) {
        message(e.description(), vbCritical, parent);
        window->validated_ = false;
    }
    const QString code = window->validated_ ? window->m_strCode : QString();
    window->Unload();
    return code;
}

bool frmMagneticDev::WriteCode(QWidget* parent, const QString& code, const QString& codePrefix,
                               const QString& points, bool crypt, int32_t levelForWrite) {
    frmMagneticDev* window = Get();
    bool written = false;
    try {
        if (IsDatabaseOpen() && g_objDatabase->GetUserLevel() < levelForWrite) {
            message(QStringLiteral("Utente non abilitato."), vbInformation, parent);
        } else if (!DeviceSupportsWrite()) {
            message(QStringLiteral("Il dispositivo configurato non supporta la scrittura delle carte."),
                    vbInformation, parent);
        } else if (code.trimmed().isEmpty()) {
            // A card holding the prefix alone could never be read back.
            message(QStringLiteral("Nessun codice da scrivere nella carta."), vbExclamation, parent);
        } else {
            CreateMagneticDevice(false);
            window->setMessage(QStringLiteral("Scrittura del Codice nella Carta...\r\rCODICE: < ") + code +
                               QStringLiteral(" >"));
            window->m_blnCompleted = false;
            window->m_strCode = code;
            window->m_strData = points;
            window->m_intOperation = 2;
            window->m_strPrefix = codePrefix;
            window->m_blnCrypt = crypt;
            window->runModal(parent);
            written = window->m_blnCompleted;
        }
    } catch (const AppError& e) {
        message(e.description(), vbCritical, parent);
        written = false;
    }
    window->Unload();
    return written;
}

void frmMagneticDev::setMessage(QString text) {
    // The system's texts break lines with a lone carriage return.
    lblMsg_->setText(text.replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

void frmMagneticDev::runModal(QWidget* parent) {
    if (parent != parentWidget()) setParent(parent, windowFlags() | Qt::Dialog);
    loaded_ = true;
    validated_ = false;
    tmEvent_->start();
    QTimer::singleShot(0, this, [this] {
        // A window manager may not activate the window: start the operation all the same.
        if (m_intOperation != 0) Form_Activate();
    });
    odb::RunModal(*this);
}

bool frmMagneticDev::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && loaded_ && isVisible()) Form_Activate();
    return QDialog::event(e);
}

void frmMagneticDev::Form_Activate() {
    if (!loaded_) return;
    const int16_t operation = m_intOperation;
    m_intOperation = 0;
    // Held for the call: a Cancel handled inside a wait releases the module's reference.
    const std::shared_ptr<itfMagneticCard> device = g_objMagneticDevice;
    if (device && operation != 0) {
        try {
            device->NewSession(m_objMagneticEvents);
            if (operation == 1) device->ReadData(0, m_blnCrypt);
            if (operation == 2) device->WriteData(m_strPrefix + m_strCode, m_strData, m_blnCrypt, 0);
        } catch (const AppError& e) {
            if (!loaded_) return;  // cancelled while the device was starting
            message(QStringLiteral("Inizializzazione gestore Carta fallito!\r\rErrore: ") + e.description(),
                    vbCritical, this);
            Unload();
            return;
        }
        if (!loaded_) return;
    }
    if (g_intMagneticDevType != kDevTypeKeyboard) {
        txtKeyCode_->hide();
    } else {
        txtKeyCode_->clear();
        txtKeyCode_->show();
        txtKeyCode_->setFocus();
    }
}

void frmMagneticDev::OnReadComplete(bool completed, const QString& id, const QString& data) {
    tmEventTag_ = kOnReadComplete;
    m_blnCompleted = completed;
    m_strCode = id;
    m_strData = data;
    validated_ = false;
}

void frmMagneticDev::OnWriteComplete(bool completed) {
    tmEventTag_ = kOnWriteComplete;
    m_blnCompleted = completed;
}

void frmMagneticDev::OnDeviceError(const AppError& error) {
    deviceError_ = error;
}

void frmMagneticDev::tmEvent_Timer() {
    if (!loaded_ || inTick_ || !g_objMagneticDevice) return;
    inTick_ = true;
    const std::shared_ptr<itfMagneticCard> device = g_objMagneticDevice;
    try {
        if (deviceError_) {
            const AppError error = *deviceError_;
            deviceError_.reset();
            throw error;
        }
        if (tmEventTag_ == kOnWriteComplete) {
            if (m_blnCompleted) {
                inTick_ = false;
                Unload();
                return;
            }
            tmEventTag_.clear();
            blinkTryAgain();
            device->CancelSession();
            writeCard();
        } else if (tmEventTag_ == kOnReadComplete) {
            tmEventTag_.clear();
            if (m_blnCompleted) {
                if (ValidateReadCode()) {
                    validated_ = true;
                    inTick_ = false;
                    Unload();
                    return;
                }
            } else {
                // A failed read is read again like an invalid card: a caller may have hidden Cancel.
                readAgain();
            }
        }
    } catch (const AppError& e) {
        inTick_ = false;
        if (!loaded_) return;
        message(e.description(), vbCritical, this);
        Unload();
        return;
    }
    inTick_ = false;
}

bool frmMagneticDev::ValidateReadCode() {
    // The drivers have already turned a reversed text round; typed text has not been.
    const bool reverse = g_intMagneticDevType == kDevTypeKeyboard ? m_blnCrypt : false;
    m_strCode = ParseCardCode(m_strCode, m_strPrefix, reverse);
    if (!m_strCode.isEmpty()) return true;
    if (g_objMagneticDevice) {
        readAgain();
    } else {
        blinkTryAgain();
        if (txtKeyCode_->isVisible()) {
            txtKeyCode_->clear();
            txtKeyCode_->setFocus();
        }
    }
    return false;
}

void frmMagneticDev::blinkTryAgain() {
    lblTryAgain_->hide();
    Prompt::instance().beep();
    lblTryAgain_->show();
}

void frmMagneticDev::readAgain() {
    blinkTryAgain();
    const std::shared_ptr<itfMagneticCard> device = g_objMagneticDevice;
    if (!device) return;
    device->CancelSession();
    device->ReadData(0, m_blnCrypt);
}

void frmMagneticDev::writeCard() {
    const std::shared_ptr<itfMagneticCard> device = g_objMagneticDevice;
    if (device) device->WriteData(m_strPrefix + m_strCode, m_strData, m_blnCrypt, 0);
}

void frmMagneticDev::keyCodeEntered() {
    m_strCode = txtKeyCode_->text();
    if (m_strCode.isEmpty()) {
        Unload();
        return;
    }
    if (ValidateReadCode()) {
        validated_ = true;
        Unload();
    }
}

bool frmMagneticDev::eventFilter(QObject* watched, QEvent* e) {
    if (watched == txtKeyCode_ && e->type() == QEvent::FocusIn) {
        txtKeyCode_->selectAll();
        return false;
    }
    if (e->type() != QEvent::KeyPress || !loaded_ || !txtKeyCode_->isVisible()) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (watched == txtKeyCode_) {
        if (!isEnterKey(key)) return false;
        keyCodeEntered();
        return true;
    }
    if (isEnterKey(key)) {
        if (txtKeyCode_->text().isEmpty()) return false;
        keyCodeEntered();
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty() || !text[0].isPrint()) return false;
    // A character typed elsewhere goes to the code box, after what it holds.
    txtKeyCode_->setFocus();
    txtKeyCode_->end(false);
    QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), text);
    QCoreApplication::sendEvent(txtKeyCode_, &copy);
    return true;
}

void frmMagneticDev::Unload() {
    if (!loaded_) return;
    loaded_ = false;
    tmEvent_->stop();
    if (g_objMagneticDevice) {
        try {
            g_objMagneticDevice->CancelSession();
        } catch (const AppError&) {
            // The device is gone: nothing to cancel.
        }
        CreateMagneticDevice(true);
    }
    if (m_objMagneticEvents) m_objMagneticEvents->disconnect(this);
    // Hidden, not closed: closing would also destroy the native window the next use shows again.
    // Hiding ends the modal loop all the same.
    setResult(QDialog::Rejected);
    hide();
}

void frmMagneticDev::reject() {
    Unload();
}

void frmMagneticDev::closeEvent(QCloseEvent* e) {
    Unload();
    e->accept();
}
