// The tray icon's mouse decoding and life, and window subclassing's routing rule.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPixmap>

#include <gtest/gtest.h>

#include "platform/clsOSTNA.h"
#include "platform/clsSubclassWnd.h"

namespace {

struct MouseCase {
    float x;
    bool left, doubleClick, right;
};

TEST(clsOSTNA, MouseMessagesAreDecodedFromTheLowBitsOfX) {
    const MouseCase cases[] = {
        {7695, true, false, false},   // left press (513)
        {7725, false, true, false},   // left double click (515)
        {7740, false, false, true},   // right press (516)
        {7680, false, false, false},  // move (512)
        {7710, false, false, false},  // left release (514)
        {7755, false, false, false},  // right release (517)
        {7695.4f, true, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clsOSTNA::IsLeftButton(c.x), c.left) << c.x;
        EXPECT_EQ(clsOSTNA::IsDoubleClick(c.x), c.doubleClick) << c.x;
        EXPECT_EQ(clsOSTNA::IsRightButton(c.x), c.right) << c.x;
    }
}

TEST(clsOSTNA, StartingTwiceKeepsOneIconAndStoppingTwiceRemovesItOnce) {
    clsOSTNA tray;
    std::vector<float> received;
    tray.IconStart([&](float x) { received.push_back(x); }, QIcon(), "Zelto Lavrix");
    tray.IconStart([&](float x) { received.push_back(x); }, QIcon(), "Zelto Lavrix");
    EXPECT_TRUE(tray.isShown());
    tray.deliverMouseMessage(515);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(clsOSTNA::IsDoubleClick(received[0]));
    tray.IconStop();
    EXPECT_FALSE(tray.isShown());
    tray.IconStop();
    EXPECT_FALSE(tray.isShown());
    tray.deliverMouseMessage(516);  // no icon, no events
    EXPECT_EQ(received.size(), 1u);
}

TEST(clsOSTNA, ATrayThatAppearsAfterTheStartGetsTheIcon) {
    bool tray = false;
    clsOSTNA::SetTrayProbe([&] { return tray; });
    QPixmap picture(16, 16);
    picture.fill(Qt::blue);
    clsOSTNA icon;
    EXPECT_EQ(icon.IconStart({}, QIcon(picture), "Zelto Lavrix"), 0);
    EXPECT_FALSE(icon.iconInTray());
    icon.lookForTray();
    EXPECT_FALSE(icon.iconInTray());
    tray = true;  // a panel with a notification area starts
    icon.lookForTray();
    EXPECT_TRUE(icon.iconInTray());
    icon.IconStop();
    EXPECT_FALSE(icon.iconInTray());
    clsOSTNA::SetTrayProbe({});
}

TEST(clsOSTNA, TipIsCutTo63Characters) {
    clsOSTNA tray;
    tray.IconStart({}, QIcon(), QString(80, QChar('x')));
    EXPECT_EQ(tray.tip().size(), 63);
    tray.ChangeTip("Nuovo");
    EXPECT_EQ(tray.tip(), "Nuovo");
}

// A window that counts the events it receives.
class CountingWindow : public QObject {
  public:
    int seen = 0;
    bool event(QEvent* e) override {
        if (e->type() >= QEvent::User) ++seen;
        return QObject::event(e);
    }
};

const auto kWheel = static_cast<int32_t>(QEvent::User + 1);
const auto kOther = static_cast<int32_t>(QEvent::User + 2);

void send(QObject& to, int32_t type) {
    QEvent e(static_cast<QEvent::Type>(type));
    QCoreApplication::sendEvent(&to, &e);
}

TEST(clsSubclassWnd, ListedEventsReachTheOwnerFirstAndMayBeConsumed) {
    CountingWindow window;
    clsSubclassWnd subclass;
    int raised = 0;
    bool consume = true;
    subclass.setHandler([&](QEvent&, bool& end) {
        ++raised;
        end = consume;
    });
    subclass.Define(&window, {kWheel, kWheel});  // listed twice: raised once
    send(window, kWheel);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(window.seen, 0);
    consume = false;
    send(window, kWheel);
    EXPECT_EQ(raised, 2);
    EXPECT_EQ(window.seen, 1);  // not ended by the handler: the window handles it
    send(window, kOther);
    EXPECT_EQ(raised, 2);
    EXPECT_EQ(window.seen, 2);
}

TEST(clsSubclassWnd, DisabledAndTerminatedSubclassesPassEverythingOn) {
    CountingWindow window;
    clsSubclassWnd subclass;
    int raised = 0;
    subclass.setHandler([&](QEvent&, bool& end) {
        ++raised;
        end = true;
    });
    subclass.Define(&window, {kWheel});
    subclass.setDisabled(true);
    send(window, kWheel);
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(window.seen, 1);
    subclass.setDisabled(false);
    subclass.TerminateSubclassing();
    subclass.TerminateSubclassing();
    send(window, kWheel);
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(window.seen, 2);
}

TEST(clsSubclassWnd, AWindowGoneFirstLeavesNothingToRestore) {
    clsSubclassWnd subclass;
    int raised = 0;
    subclass.setHandler([&](QEvent&, bool&) { ++raised; });
    {
        CountingWindow window;
        subclass.Define(&window, {kWheel});
    }
    subclass.TerminateSubclassing();
    CountingWindow next;
    subclass.Define(&next, {kWheel});
    send(next, kWheel);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(next.seen, 1);
}

}  // namespace
