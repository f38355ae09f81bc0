// The shared message and progress window: label rule, bar limits, the stop question, the parent.
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include "startup/frmMessage.h"
#include "support/RecordingPrompt.h"

namespace {

using namespace MsgBoxStyle;

class MessageWindowTest : public ::testing::Test {
  protected:
    void TearDown() override { frmMessage::Unload(); }
    frmMessage& msg = frmMessage::instance();
};

struct LabelCase {
    int32_t total, count;
    const char* label;
};

TEST_F(MessageWindowTest, CountUpTo9999AndPercentAbove) {
    const LabelCase cases[] = {
        {9999, 9999, "9999 / 9999"}, {9999, 1, "1 / 9999"}, {10000, 10000, "100 %"},
        {10000, 1, "0 %"},           {10000, 5000, "50 %"}, {10000, 3335, "33 %"},
        {20000, 13, "0 %"},          {20000, 1999, "10 %"}, {3, 2, "2 / 3"},
    };
    msg.ShowMsg("Lavoro...", nullptr);
    for (const auto& c : cases) {
        msg.StartProgress(c.total);
        EXPECT_TRUE(msg.countText().isEmpty());
        EXPECT_TRUE(msg.Progress(c.count));
        EXPECT_EQ(msg.countText(), c.label) << c.total << " " << c.count;
    }
}

TEST_F(MessageWindowTest, BarLimits) {
    msg.ShowMsg("Lavoro...", nullptr);
    msg.StartProgress(0);
    EXPECT_EQ(msg.MaxProgress(), 1);
    msg.StartProgress(3);
    msg.Progress();
    msg.Progress();
    EXPECT_EQ(msg.progressValue(), 2);
    msg.Progress(3);
    msg.Progress();  // no count at the maximum: stays
    EXPECT_EQ(msg.progressValue(), 3);
    msg.Progress(2);
    msg.Progress(4);  // above the maximum: nothing changes
    EXPECT_EQ(msg.progressValue(), 2);
    EXPECT_EQ(msg.countText(), "2 / 3");
    msg.EndProgress();
    EXPECT_EQ(msg.MaxProgress(), 0);
    EXPECT_FALSE(msg.progressVisible());
    EXPECT_EQ(msg.countText(), "2 / 3");  // the label keeps its last text
}

TEST_F(MessageWindowTest, StopQuestionThenFlagThenUnload) {
    ScopedRecordingPrompt prompt;
    msg.ShowMsg("Importazione...", nullptr);
    msg.StartProgress(100, true);
    prompt->answer(MsgResult::No);
    msg.cmdStop_Click();
    EXPECT_FALSE(msg.Stopped());
    EXPECT_TRUE(msg.Progress());
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Confermi l'interruzione ?");
    prompt->answer(MsgResult::Yes);
    msg.cmdStop_Click();
    EXPECT_TRUE(msg.Stopped());
    EXPECT_TRUE(msg.OnStopped());
    EXPECT_FALSE(msg.Progress());
    EXPECT_TRUE(frmMessage::isLoaded());
    prompt->answer(MsgResult::Yes);
    msg.cmdStop_Click();  // a second confirmed stop unloads the window
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_FALSE(msg.isVisible());
    // The caller's loop goes on calling: it is told to stop and nothing breaks.
    EXPECT_FALSE(msg.Progress());
    EXPECT_FALSE(msg.Progress(5));
    msg.EndProgress();
    EXPECT_FALSE(msg.OnProgress(0, 100, 6, nullptr, nullptr));
    // A new run starts with the flag clear.
    msg.ShowMsg("Di nuovo", nullptr);
    EXPECT_FALSE(msg.Stopped());
    prompt->answer(MsgResult::Yes);
    msg.cmdStop_Click();
    msg.StartProgress(5, true);
    EXPECT_FALSE(msg.Stopped());
}

TEST_F(MessageWindowTest, TheLibraryRunsThroughTheProgressInterface) {
    odb::itfProgress& progress = msg;
    msg.ShowMsg("Apertura...", nullptr);
    progress.OnStart(1, 4);
    EXPECT_TRUE(msg.stopVisible());
    EXPECT_EQ(msg.MaxProgress(), 4);
    EXPECT_TRUE(progress.OnProgress(1, 999, 3, nullptr, nullptr));
    EXPECT_EQ(msg.progressValue(), 3);
    EXPECT_EQ(msg.MaxProgress(), 4);  // the total of the call does not change the bar
    EXPECT_FALSE(progress.OnStopped());
    progress.OnEnd(1, 4);
    EXPECT_FALSE(msg.progressVisible());
    EXPECT_FALSE(msg.stopVisible());
}

TEST_F(MessageWindowTest, TheParentIsDisabledWhileShownAndGivenBackAfter) {
    QWidget parent;
    parent.show();
    msg.ShowMsg("Lavoro...", &parent);
    EXPECT_TRUE(msg.isVisible());
    EXPECT_FALSE(parent.isEnabled());
    EXPECT_EQ(msg.messageText(), "Lavoro...");
    msg.ShowMsg("Ancora...", &parent);  // same parent: the first remembered state stays
    EXPECT_EQ(msg.messageText(), "Ancora...");
    QWidget second;
    second.show();
    msg.ShowMsg("Due", &second);  // a new parent: the old one enabled first
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_FALSE(second.isEnabled());
    frmMessage::Unload();
    EXPECT_TRUE(parent.isEnabled() && second.isEnabled());
    EXPECT_EQ(msg.parentWindow(), nullptr);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QObject* watched) { watched->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// While the caller waits the message window is painted, its parent at most once (not once for each
// step of the showing); the parent, disabled, is painted at the next turn of the event loop, and a
// text changed later is painted at once.
TEST_F(MessageWindowTest, OnlyTheMessageIsPaintedWhileTheCallerWaits) {
    QWidget parent;
    parent.resize(400, 300);
    parent.show();
    QCoreApplication::processEvents();
    PaintCounter parentPaints(&parent), messagePaints(&msg);
    msg.ShowMsg("Lettura...", &parent);
    EXPECT_GE(messagePaints.paints, 1);
    EXPECT_LE(parentPaints.paints, 1);
    EXPECT_FALSE(parent.isEnabled());
    QCoreApplication::processEvents();
    EXPECT_GE(parentPaints.paints, 1);
    const int before = messagePaints.paints;
    msg.ShowMsg("Scrittura...", &parent);
    EXPECT_GT(messagePaints.paints, before);
    EXPECT_EQ(msg.messageText(), "Scrittura...");
}

// The order of the paints of two widgets: 'p' the first, 'm' the second.
class PaintOrder : public QObject {
  public:
    PaintOrder(QObject* first, QObject* second) : first_(first) {
        first->installEventFilter(this);
        second->installEventFilter(this);
    }
    QString order;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) order += o == first_ ? u'p' : u'm';
        return false;
    }

  private:
    QObject* first_;
};

// Once the message is painted, the caller goes on: repaints the owner had pending, or that the
// showing asked for (the owner's inactive look), wait for the next turn of the event loop.
TEST_F(MessageWindowTest, AfterTheMessagesFirstPaintNothingElseIsPaintedBeforeTheCallerGoesOn) {
    QWidget parent;
    parent.resize(400, 300);
    parent.show();
    QCoreApplication::processEvents();
    PaintOrder paints(&parent, &msg);
    // The message's first paint leaves the owner a repaint to do, as its deactivation would.
    bool asked = false;
    class AskOnPaint : public QObject {
      public:
        AskOnPaint(QWidget* owner, bool& asked) : owner_(owner), asked_(asked) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && !asked_) {
                asked_ = true;
                owner_->update();
            }
            return false;
        }
        QWidget* owner_;
        bool& asked_;
    } ask(&parent, asked);
    msg.installEventFilter(&ask);
    msg.ShowMsg("Lettura...", &parent);
    msg.removeEventFilter(&ask);
    ASSERT_TRUE(paints.order.contains(u'm'));
    EXPECT_FALSE(paints.order.mid(paints.order.indexOf(u'm')).contains(u'p')) << qPrintable(paints.order);
    QCoreApplication::processEvents();
    EXPECT_TRUE(paints.order.endsWith(u'p'));
}

// A window with a button, a text box, a shortcut, and a count of what reached them, fed as the
// window system feeds it: through the window, the button's centre clicked, keys typed, the close box.
struct InputWindow {
    QWidget window;
    QPushButton button{QStringLiteral("Vai"), &window};
    QLineEdit edit{&window};
    QAction refresh{&window};
    int clicks = 0, refreshes = 0;
    InputWindow() {
        window.resize(300, 200);
        button.setGeometry(10, 10, 100, 30);
        edit.setGeometry(10, 60, 200, 30);
        refresh.setShortcut(Qt::Key_F5);
        window.addAction(&refresh);
        QObject::connect(&button, &QPushButton::clicked, [this] { ++clicks; });
        QObject::connect(&refresh, &QAction::triggered, [this] { ++refreshes; });
        window.show();
        QCoreApplication::processEvents();
    }
    // Each kind of input once; the close box last.
    void feed() {
        window.activateWindow();
        QCoreApplication::processEvents();
        QWindow* handle = window.windowHandle();
        QTest::mouseClick(handle, Qt::LeftButton, {}, button.geometry().center());
        edit.setFocus();
        QTest::keyClick(handle, Qt::Key_A);
        QTest::keyClick(handle, Qt::Key_F5);
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        qApp->notify(handle, &close);
    }
};

// While the message is up its parent gets no input at all, the message's stop button does; once
// the message is unloaded the parent gets all of it again.
TEST_F(MessageWindowTest, TheParentGetsNoInputWhileShownAndAllOfItAfter) {
    ScopedRecordingPrompt prompt;
    InputWindow parent;
    msg.ShowMsg("Lavoro...", &parent.window);
    msg.StartProgress(10, true);
    parent.feed();
    EXPECT_EQ(parent.clicks, 0);
    EXPECT_EQ(parent.edit.text(), "");
    EXPECT_EQ(parent.refreshes, 0);
    EXPECT_TRUE(parent.window.isVisible());
    EXPECT_FALSE(parent.window.isEnabled());
    auto* stop = msg.findChild<QPushButton*>();
    ASSERT_NE(stop, nullptr);
    prompt->answer(MsgResult::Yes);
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_TRUE(msg.Stopped());
    EXPECT_EQ(prompt->shown().size(), 1u);

    frmMessage::Unload();
    parent.feed();
    EXPECT_EQ(parent.clicks, 1);
    EXPECT_EQ(parent.edit.text(), "a");
    EXPECT_EQ(parent.refreshes, 1);
    EXPECT_FALSE(parent.window.isVisible());  // closed by its close box
}

// The parent reads as disabled, its controls keep their own state: none of them is painted again,
// not while the caller waits, not at the events it lets run, not when the parent is given back.
// (Controls without the focus: the focused one loses its focus look as its window is deactivated.)
TEST_F(MessageWindowTest, TheParentsControlsAreNeitherDisabledNorRepainted) {
    QWidget parent;
    parent.resize(400, 300);
    QGroupBox box(QStringLiteral("Dati"), &parent);
    box.setGeometry(0, 0, 400, 260);
    QPushButton button(QStringLiteral("Vai"), &box);
    button.setGeometry(10, 20, 100, 30);
    button.setFocusPolicy(Qt::NoFocus);
    QScrollBar bar(Qt::Horizontal, &parent);
    bar.setGeometry(0, 270, 400, 20);
    bar.setFocusPolicy(Qt::NoFocus);
    PaintCounter boxPaints(&box), buttonPaints(&button), barPaints(&bar);
    const auto paints = [&] { return boxPaints.paints + buttonPaints.paints + barPaints.paints; };
    parent.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return buttonPaints.paints > 0 && barPaints.paints > 0; }));
    QTest::qWait(20);
    boxPaints.paints = buttonPaints.paints = barPaints.paints = 0;
    msg.ShowMsg("Lettura...", &parent);
    QCoreApplication::processEvents();
    EXPECT_FALSE(parent.isEnabled());
    EXPECT_TRUE(box.isEnabled() && button.isEnabled() && bar.isEnabled());
    EXPECT_EQ(paints(), 0);
    frmMessage::Unload();
    QCoreApplication::processEvents();
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_EQ(paints(), 0);
}

// Controls built while the parent is disabled take its state, and follow it back; a control
// disabled on its own, and a parent disabled by someone else meanwhile, stay as they were left.
TEST_F(MessageWindowTest, ControlsBuiltMeanwhileAreGivenBackWithTheParent) {
    QWidget parent;
    QPushButton kept(&parent);
    kept.setEnabled(false);
    parent.show();
    msg.ShowMsg("Lettura...", &parent);
    auto* late = new QPushButton(&parent);
    EXPECT_FALSE(late->isEnabled());
    frmMessage::Unload();
    EXPECT_TRUE(parent.isEnabled() && late->isEnabled());
    EXPECT_FALSE(kept.isEnabled());

    QWidget other;
    QPushButton control(&other);
    other.show();
    msg.ShowMsg("Lettura...", &other);
    other.setEnabled(false);  // another window's doing, with its controls
    other.setEnabled(true);
    other.setEnabled(false);
    frmMessage::Unload();  // given back as it was taken: enabled
    EXPECT_TRUE(other.isEnabled() && control.isEnabled());
}

// A box over the disabled parent (an error told while the message is up, owned by the parent when
// the user had clicked it) is a window of its own: it takes its answer; the parent still takes none.
TEST_F(MessageWindowTest, ADialogOverTheDisabledParentTakesItsAnswer) {
    InputWindow parent;
    msg.ShowMsg("Lettura...", &parent.window);
    QDialog box(&parent.window);
    QPushButton ok(QStringLiteral("OK"), &box);
    ok.setGeometry(10, 10, 80, 30);
    QObject::connect(&ok, &QPushButton::clicked, &box, &QDialog::accept);
    box.setModal(true);
    box.show();
    QCoreApplication::processEvents();
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, ok.geometry().center());
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
    box.hide();
    parent.feed();
    EXPECT_EQ(parent.clicks, 0);
    EXPECT_FALSE(parent.window.isEnabled());
    frmMessage::Unload();
    EXPECT_TRUE(parent.window.isEnabled());
}

}  // namespace
