// Works a layout editor's script box and code assistant as a user would: places the caret, types,
// reads the pop-up menu shown, picks its entries and waits for the assistant's timer.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "platform/ScriptBox.h"

class ScriptAssistantDriver {
  public:
    explicit ScriptAssistantDriver(QWidget* form)
        : form_(form),
          box_(form->findChild<ScriptBox*>(QStringLiteral("txtVBScript"))),
          timer_(form->findChild<QTimer*>(QStringLiteral("tmFunc"))) {
        EXPECT_TRUE(box_ && timer_);
    }
    ~ScriptAssistantDriver() { closeMenus(); }

    // Shows `text` (CR LF or LF line ends) with the caret at "|" and, when it holds "[...]", that part
    // selected; no menu left open.
    void setScript(QString text) {
        closeMenus();
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        const qsizetype open = text.indexOf(u'[');
        const qsizetype close = text.indexOf(u']');
        if (open >= 0 && close > open) {
            text.remove(close, 1);
            text.remove(open, 1);
        }
        const qsizetype caret = text.indexOf(u'|');
        text.remove(caret, 1);
        box_->setPlainText(text);
        QTextCursor cursor = box_->textCursor();
        if (open >= 0 && close > open) {
            cursor.setPosition(static_cast<int>(open));
            cursor.setPosition(static_cast<int>(close - 1), QTextCursor::KeepAnchor);
        } else {
            cursor.setPosition(static_cast<int>(caret));
        }
        box_->setTextCursor(cursor);
        settle();
    }
    // The script with "|" at the caret, lines ended by CR LF.
    QString scriptWithCaret() const {
        QString text = box_->EditedText();
        text.insert(box_->textCursor().position(), u'|');
        return text.replace(u'\n', QLatin1String("\r\n"));
    }
    void type(const QString& text) { QTest::keyClicks(box_, text); }

    QMenu* shown() const { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    // The first entry of the menu shown (its heading); empty when none is shown.
    QString shownHeading() const {
        const QMenu* menu = shown();
        return menu && !menu->actions().isEmpty() ? menu->actions().first()->text() : QString();
    }
    // The entries of the menu shown; a separator reads "-".
    QStringList shownCaptions() const {
        QStringList out;
        if (const QMenu* menu = shown())
            for (const QAction* a : menu->actions())
                if (a->isVisible()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    // The entries of all the assistant's menus with that caption.
    QList<QAction*> actions(const QString& caption) const {
        QList<QAction*> out;
        for (const QMenu* menu : form_->findChildren<QMenu*>())
            for (QAction* a : menu->actions())
                if (a->text() == caption) out << a;
        return out;
    }

    void press(const char* button) {
        QPushButton* b = form_->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_TRUE(b) << button;
        b->click();
        settle();
    }
    // Chooses the entry of the menu shown (or of one of its submenus), as a click does, and lets the
    // assistant act.
    void pick(const QString& caption) {
        QMenu* menu = shown();
        ASSERT_TRUE(menu) << "no menu for " << caption.toStdString();
        QAction* action = find(menu, caption);
        ASSERT_TRUE(action) << caption.toStdString() << " not in "
                            << shownCaptions().join(u'|').toStdString();
        closeMenus();
        action->trigger();
        settle();
    }
    // A menu that the assistant shows and waits on (the reference whose rows are read): the next one
    // shown gets `answer` (a caption to choose, or empty for Esc) once it is up. The caption of its
    // entries goes to `seen`.
    void answerNextMenu(const QString& answer, QStringList* seen = nullptr) {
        auto* poll = new QTimer(form_);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, answer, seen] {
            QMenu* menu = shown();
            if (!menu) return;
            poll->deleteLater();
            poll->stop();
            if (seen) *seen = shownCaptions();
            if (answer.isEmpty()) {
                QTest::keyClick(menu, Qt::Key_Escape);
                return;
            }
            QAction* action = find(menu, answer);
            EXPECT_TRUE(action) << answer.toStdString();
            menu->hide();
            if (action) action->trigger();
        });
        poll->start(5);
    }
    void closeMenus() {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
    bool idle() const { return !timer_->isActive(); }
    void settle() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return idle(); }, 3000));
    }

  private:
    static QAction* find(QMenu* menu, const QString& caption) {
        for (QAction* a : menu->actions()) {
            if (a->text() == caption) return a;
            if (a->menu())
                if (QAction* inner = find(a->menu(), caption)) return inner;
        }
        return nullptr;
    }

    QWidget* form_;
    ScriptBox* box_;
    QTimer* timer_;
};
