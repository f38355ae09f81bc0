// The card-device options window.
#include "terminal/carddevices/frmMagneticOptions.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/SerialPort.h"
#include "startup/Configuration.h"
#include "startup/MainWindowServices.h"
#include "startup/PlaceDialog.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"
#include "terminal/carddevices/modMagneticDev.h"

namespace {
constexpr int kPortCount = 8;
}

frmMagneticOptions::frmMagneticOptions(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmMagneticOptions"));
    setWindowTitle(QStringLiteral("Impostazioni"));

    fraParams_ = new QGroupBox(QStringLiteral("Parametri dispositivo carte magnetiche"), this);
    cmbDevType_ = new QComboBox(fraParams_);
    cmbDevType_->addItem(QStringLiteral("MSR 106 Series"), kDevTypeLowCoercivity);
    cmbDevType_->addItem(QStringLiteral("MSR 206HL Series (Alta coercività)"), kDevTypeHighCoercivity);
    cmbDevType_->addItem(QStringLiteral("MSR 206HL Series (Bassa coercività)"), kDevTypeDualLowCoercivity);
    cmbDevType_->addItem(QStringLiteral("Emulazione Tastiera"), kDevTypeKeyboard);
    cboCOMPort_ = new QComboBox(fraParams_);
    cboCOMPort_->addItem(QStringLiteral("[nessuno]"));
    for (int n = 1; n <= kPortCount; ++n)
        cboCOMPort_->addItem(QStringLiteral("COM%1").arg(n));
    txtCOMPortPath_ = new QLineEdit(fraParams_);
    txtCOMPortPath_->setToolTip(
        QStringLiteral("Dispositivo aperto dalla porta scelta; un percorso scritto qui (adattatore USB, "
                       "terminale) lo sostituisce"));
    txtCOMParam_ = new QComboBox(fraParams_);
    txtCOMParam_->setEditable(true);
    txtCOMParam_->addItems({QStringLiteral("9600,n,8,1"), QStringLiteral("9600,e,7,1")});
    txtCOMParam_->setToolTip(QStringLiteral(
        "Imposta i parametri della porta seriale (Velocità, Parità, Numero Bit, Bit di stop)"));

    auto* form = new QFormLayout(fraParams_);
    form->addRow(QStringLiteral("Dispositivo carte:"), cmbDevType_);
    form->addRow(QStringLiteral("Porta di comunicazione:"), cboCOMPort_);
    form->addRow(QStringLiteral("Dispositivo della porta:"), txtCOMPortPath_);
    form->addRow(QStringLiteral("Parametri porta:"), txtCOMParam_);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraParams_);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(cmdOK_, &QPushButton::clicked, this, &frmMagneticOptions::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmMagneticOptions::cmdCancel_Click);
    // Selecting an entry, by the user or below, counts as a click.
    connect(cmbDevType_, &QComboBox::currentIndexChanged, this, &frmMagneticOptions::EnableControls);
    connect(cboCOMPort_, &QComboBox::currentIndexChanged, this, &frmMagneticOptions::EnableControls);

    // Load.
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    cmbDevType_->setCurrentIndex(cmbDevType_->findData(g_intMagneticDevType));
    cboCOMPort_->setCurrentIndex(
        g_intCOMPortNumber >= 0 && g_intCOMPortNumber <= kPortCount ? g_intCOMPortNumber : -1);
    txtCOMParam_->setCurrentText(g_strCOMPortParam);
    txtCOMPortPath_->setText(ConfiguredPortPath());
    EnableControls();
}

frmMagneticOptions* frmMagneticOptions::ShowOver(QWidget* owner) {
    auto* window = new frmMagneticOptions(owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    KeepAboveOwner(window, owner);
    window->show();
    return window;
}

void frmMagneticOptions::EnableControls() {
    if (cmbDevType_->currentData().toInt() == kDevTypeKeyboard && cmbDevType_->currentIndex() >= 0) {
        cboCOMPort_->setCurrentIndex(0);
        cboCOMPort_->setEnabled(false);
    } else {
        cboCOMPort_->setEnabled(true);
    }
    const bool port = cboCOMPort_->currentIndex() >= 1;
    txtCOMParam_->setEnabled(port);
    txtCOMPortPath_->setEnabled(port);
    showPortDevice();
}

void frmMagneticOptions::showPortDevice() {
    const int port = cboCOMPort_->currentIndex();
    txtCOMPortPath_->setPlaceholderText(port >= 1 ? SerialPort::DefaultDevicePath(static_cast<int16_t>(port))
                                                  : QString());
}

void frmMagneticOptions::cmdOK_Click() {
    // A stored value the lists cannot show stays as it was.
    if (cmbDevType_->currentIndex() >= 0) g_intMagneticDevType = cmbDevType_->currentData().toInt();
    if (cboCOMPort_->currentIndex() >= 0)
        g_intCOMPortNumber = static_cast<int16_t>(cboCOMPort_->currentIndex());
    g_strCOMPortParam = txtCOMParam_->currentText();
    SaveMagneticDevParams();
    SaveConfiguredPortPath(txtCOMPortPath_->text());
    close();
}

void frmMagneticOptions::cmdCancel_Click() {
    close();
}

void frmMagneticOptions::closeEvent(QCloseEvent* e) {
    if (auto* main = MainWindowServices::instance()) {
        if (main->Widget()) main->Widget()->setEnabled(true);
    }
    e->accept();
}
