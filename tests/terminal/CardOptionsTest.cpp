// The card-device options window: what it shows of the stored settings, what it enables, and what
// OK and Cancel leave in the settings store.
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "CardTestSupport.h"
#include "platform/SettingsStore.h"
#include "startup/Configuration.h"
#include "startup/SharedState.h"
#include "terminal/carddevices/frmMagneticOptions.h"
#include "terminal/carddevices/modMagneticDev.h"

namespace {

QString stored(const char* key) {
    return GetSetting(kAppSettingsName, QStringLiteral("MagneticDevParam"), QString::fromLatin1(key),
                      QStringLiteral("(none)"));
}

class CardOptionsTest : public CardDeviceTest {};

TEST_F(CardOptionsTest, ShowsTheStoredDeviceAndStoresTheChoice) {
    configure(kDevTypeHighCoercivity, 2, QStringLiteral("9600,e,7,1"), QStringLiteral("/dev/pts/7"));
    SaveMagneticDevParams();
    {
        frmMagneticOptions window;
        window.show();
        EXPECT_EQ(window.cmbDevType()->currentText(), QStringLiteral("MSR 206HL Series (Alta coercività)"));
        EXPECT_EQ(window.cboCOMPort()->currentText(), QStringLiteral("COM2"));
        EXPECT_EQ(window.txtCOMParam()->currentText(), QStringLiteral("9600,e,7,1"));
        EXPECT_EQ(window.txtCOMPortPath()->text(), QStringLiteral("/dev/pts/7"));
        EXPECT_EQ(window.txtCOMPortPath()->placeholderText(), QStringLiteral("/dev/ttyS1"));
        EXPECT_TRUE(window.cboCOMPort()->isEnabled());
        EXPECT_TRUE(window.txtCOMParam()->isEnabled());

        // Keyboard emulation has no port: none chosen, and nothing of the port to change.
        window.cmbDevType()->setCurrentIndex(window.cmbDevType()->findData(kDevTypeKeyboard));
        EXPECT_EQ(window.cboCOMPort()->currentIndex(), 0);
        EXPECT_EQ(window.cboCOMPort()->currentText(), QStringLiteral("[nessuno]"));
        EXPECT_FALSE(window.cboCOMPort()->isEnabled());
        EXPECT_FALSE(window.txtCOMParam()->isEnabled());
        EXPECT_FALSE(window.txtCOMPortPath()->isEnabled());
        // Cancel keeps everything as it was.
        window.cmdCancel_Click();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(stored("Type"), QStringLiteral("1"));
    EXPECT_EQ(stored("COMPortNumber"), QStringLiteral("2"));
    EXPECT_EQ(g_intMagneticDevType, kDevTypeHighCoercivity);
    EXPECT_EQ(g_intCOMPortNumber, 2);

    {
        frmMagneticOptions window;
        window.show();
        window.cmbDevType()->setCurrentIndex(window.cmbDevType()->findData(kDevTypeKeyboard));
        window.cmdOK_Click();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(stored("Type"), QStringLiteral("9999"));
    EXPECT_EQ(stored("COMPortNumber"), QStringLiteral("0"));
    EXPECT_EQ(g_intMagneticDevType, kDevTypeKeyboard);
    EXPECT_EQ(g_intCOMPortNumber, 0);

    {
        frmMagneticOptions window;
        EXPECT_FALSE(window.cboCOMPort()->isEnabled());
        window.cmbDevType()->setCurrentIndex(0);
        EXPECT_TRUE(window.cboCOMPort()->isEnabled());
        EXPECT_FALSE(window.txtCOMParam()->isEnabled());  // still no port
        window.cboCOMPort()->setCurrentIndex(3);
        EXPECT_TRUE(window.txtCOMParam()->isEnabled());
        EXPECT_EQ(window.txtCOMPortPath()->placeholderText(), QStringLiteral("/dev/ttyS2"));
        window.txtCOMParam()->setCurrentText(QStringLiteral("19200,n,8,2"));
        window.txtCOMPortPath()->clear();
        window.cmdOK_Click();
    }
    EXPECT_EQ(stored("Type"), QStringLiteral("0"));
    EXPECT_EQ(stored("COMPortNumber"), QStringLiteral("3"));
    EXPECT_EQ(stored("COMPortParam"), QStringLiteral("19200,n,8,2"));
    EXPECT_EQ(stored("COMPortPath"), QStringLiteral("(none)"));
    LoadMagneticDevParams();
    EXPECT_EQ(g_strCOMPortParam, QStringLiteral("19200,n,8,2"));
}

TEST_F(CardOptionsTest, AStoredValueTheListsCannotShowIsKept) {
    configure(77, 12);
    SaveMagneticDevParams();
    frmMagneticOptions window;
    EXPECT_EQ(window.cmbDevType()->currentIndex(), -1);
    EXPECT_EQ(window.cboCOMPort()->currentIndex(), -1);
    EXPECT_TRUE(window.cboCOMPort()->isEnabled());
    EXPECT_FALSE(window.txtCOMParam()->isEnabled());
    window.cmdOK_Click();
    EXPECT_EQ(stored("Type"), QStringLiteral("77"));
    EXPECT_EQ(stored("COMPortNumber"), QStringLiteral("12"));
    EXPECT_EQ(g_intMagneticDevType, 77);
}

}  // namespace
