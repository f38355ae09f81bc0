// The form utilities: window placement in twips, the sort toggle, menu arrays, the shared font.
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "base/AppError.h"
#include "odb/ui/UiTestDatabase.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

namespace {

using namespace MsgBoxStyle;

const QString kSection = QStringLiteral("frmCustomReportPreviewSettings");

QString stored(const QString& key) {
    return GetSetting(kAppSettingsName, kSection, key, QStringLiteral("<none>"));
}

class FormSettingsTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        form.setObjectName("frmCustomReportPreview");
        form.resize(300, 200);
    }
    QWidget form;
};

TEST_F(FormSettingsTest, NormalWindowWritesStateAndPlacementInTwips) {
    form.move(10, 20);
    SaveFormSettings(&form, false);
    EXPECT_EQ(stored("State"), "0");
    EXPECT_EQ(stored("Left"), "150");
    EXPECT_EQ(stored("Top"), "300");
    EXPECT_EQ(stored("Width"), "4500");
    EXPECT_EQ(stored("Height"), "3000");
    // Position only leaves the size out.
    QWidget other;
    other.setObjectName("frmOther");
    other.move(4, 8);
    SaveFormSettings(&other, true);
    EXPECT_EQ(GetSetting(kAppSettingsName, "frmOtherSettings", "Left"), "60");
    EXPECT_EQ(GetSetting(kAppSettingsName, "frmOtherSettings", "Width", "<none>"), "<none>");
}

TEST_F(FormSettingsTest, MaximisedWindowKeepsItsLastNormalPlacement) {
    form.move(10, 20);
    SaveFormSettings(&form);
    form.move(200, 100);
    form.resize(640, 480);
    form.setWindowState(Qt::WindowMaximized);
    SaveFormSettings(&form);
    EXPECT_EQ(stored("State"), "2");
    EXPECT_EQ(stored("Left"), "150");
    EXPECT_EQ(stored("Width"), "4500");

    QWidget next;
    next.setObjectName("frmCustomReportPreview");
    LoadFormSettings(&next, false, false, 0, 0);
    EXPECT_EQ(next.pos(), QPoint(10, 20));
    EXPECT_EQ(next.size(), QSize(300, 200));
    EXPECT_TRUE(next.windowState() & Qt::WindowMaximized);

    form.setWindowState(Qt::WindowMinimized);
    SaveFormSettings(&form);
    EXPECT_EQ(stored("State"), "1");
    EXPECT_EQ(stored("Top"), "300");
}

TEST_F(FormSettingsTest, ANonNumericValueIsATypeMismatch) {
    SaveSetting(kAppSettingsName, kSection, "Top", "alto");
    try {
        LoadFormSettings(&form, false, false, 0, 0);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 13);
    }
}

class ToggleDataSortTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        db = std::make_unique<uitest::UiTestDatabase>(path("sort.db"));
        db->addArticolo("B", "Secondo", "", 1);
        db->addArticolo("A", "Terzo", "", 3);
        db->addArticolo("C", "Primo", "", 2);
    }
    void TearDown() override {
        db.reset();
        TempFolderTest::TearDown();
    }
    std::unique_ptr<uitest::UiTestDatabase> db;
};

TEST_F(ToggleDataSortTest, ColumnClicksAndCompleteSortTexts) {
    struct Case {
        const char* current;
        const char* given;
        const char* expected;
        const char* firstCode;  // first row after the new sort
    };
    const Case cases[] = {
        {"Descrizione DESC", "Descrizione", "Descrizione ASC", "C"},
        {"Descrizione ASC", "Descrizione", "Descrizione DESC", "A"},
        {"Descrizione", "Descrizione", "Descrizione DESC", "A"},
        {"Codice", "Descrizione", "Descrizione", "C"},
        {"Codice", "Prezzo, Codice DESC", "Prezzo, Codice DESC", "B"},
        {"Codice", "Prezzo DESC", "Prezzo DESC", "A"},
        {"Codice", "Codice,Prezzo", "Codice,Prezzo", "A"},
        // Any DESC counts, and the name test is a substring test.
        {"Prezzo, Codice DESC", "Prezzo", "Prezzo ASC", "B"},
        {"PrezzoListino DESC", "Prezzo", "Prezzo ASC", "B"},
        // Case-sensitive: "codice" does not contain "Codice".
        {"codice DESC", "Codice", "Codice", "A"},
        {"Codice DESC", "", "", "B"},
    };
    ScopedRecordingPrompt prompt;
    for (const auto& c : cases) {
        auto ds = db->articoli(c.current);
        ToggleDataSort(c.given, ds.get());
        EXPECT_EQ(ds->SortOrder(), c.expected) << c.current << " + " << c.given;
        ASSERT_TRUE(ds->RowFirst());
        EXPECT_EQ(ds->ColText("Codice"), c.firstCode) << c.current << " + " << c.given;
    }
    EXPECT_TRUE(prompt->shown().empty());
}

TEST_F(ToggleDataSortTest, AnErrorIsShownAndTheSortStaysAsItWas) {
    ScopedRecordingPrompt prompt;
    auto ds = db->articoli("Codice DESC");
    ToggleDataSort("Sconosciuto", ds.get());
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_FALSE(prompt->last().text.isEmpty());
    EXPECT_EQ(ds->SortOrder(), "Codice DESC");
    ASSERT_TRUE(ds->RowFirst());
    EXPECT_EQ(ds->ColText("Codice"), "C");

    ToggleDataSort("Codice", nullptr);
    ASSERT_EQ(prompt->shown().size(), 2u);
    EXPECT_EQ(prompt->last().text, VbErrorText(91));
}

// Stand-ins for the library's own controls, which take a list of font names and a size step.
class ctlQoDataPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString FontNames MEMBER fontNames)
    Q_PROPERTY(double FontSizeSpin MEMBER fontSizeSpin)
  public:
    using QWidget::QWidget;
    QString fontNames;
    double fontSizeSpin = 8;
};

class QoShortSearchBox : public QWidget {  // lacks both properties
    Q_OBJECT
  public:
    using QWidget::QWidget;
};

class ApplyFormFontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QFont base = form.font();
        base.setFamily("DejaVu Sans");
        base.setPointSizeF(9);
        form.setFont(base);
        label = new QLabel("Codice", &form);
        auto* box = new QWidget(&form);
        inner = new QLabel("Nome", box);  // inside a container: reached as well
        fixed = new QPlainTextEdit(&form);
        QFont courier("Courier New");
        courier.setPointSizeF(10);
        fixed->setFont(courier);
        panel = new ctlQoDataPanel(&form);
        search = new QoShortSearchBox(&form);
        panelFont = panel->font();
        searchFont = search->font();
    }
    QWidget form;
    QLabel* label = nullptr;
    QLabel* inner = nullptr;
    QPlainTextEdit* fixed = nullptr;
    ctlQoDataPanel* panel = nullptr;
    QoShortSearchBox* search = nullptr;
    QFont panelFont, searchFont;
};

TEST_F(ApplyFormFontTest, NameReachesEveryControlButFixedPitchAndLibraryControls) {
    ApplyFormFont(&form, "DejaVu Serif", 0);
    EXPECT_EQ(form.font().family(), "DejaVu Serif");
    EXPECT_EQ(label->font().family(), "DejaVu Serif");
    EXPECT_EQ(inner->font().family(), "DejaVu Serif");
    EXPECT_EQ(fixed->font().family(), "Courier New");
    EXPECT_EQ(panel->fontNames, "DejaVu Serif");
    EXPECT_EQ(search->font().family(), searchFont.family());
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 9);
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9);
}

TEST_F(ApplyFormFontTest, IncrementIsAddedOnceToEveryControl) {
    ApplyFormFont(&form, "", 1.5f);
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 10.5);
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 10.5);
    EXPECT_DOUBLE_EQ(inner->font().pointSizeF(), 10.5);
    EXPECT_DOUBLE_EQ(fixed->font().pointSizeF(), 11.5);  // size changes even where the name does not
    EXPECT_EQ(fixed->font().family(), "Courier New");
    EXPECT_DOUBLE_EQ(panel->fontSizeSpin, 9.5);
    EXPECT_DOUBLE_EQ(panel->font().pointSizeF(), panelFont.pointSizeF());
    EXPECT_DOUBLE_EQ(search->font().pointSizeF(), searchFont.pointSizeF());
}

}  // namespace

#include "FormUtilityTest.moc"
