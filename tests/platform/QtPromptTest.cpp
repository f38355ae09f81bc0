// The prompt service on Qt's dialogs: line breaks of VB texts in every box and title, and boxes at
// least as wide as their title.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>
#include <ostream>

#include "platform/QtPrompt.h"

// Texts read as texts in failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

// What a box showed, read while it was up; `close` then ends it as the user would.
struct Shown {
    QString text, title;
    int width = 0;
};

Shown whileUp(const std::function<void(QWidget&)>& close, const std::function<QString(QWidget&)>& text,
              const std::function<void()>& open) {
    Shown shown;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        box->adjustSize();
        shown = {text(*box), box->windowTitle(), box->width()};
        close(*box);
    });
    open();
    return shown;
}

int titleWidth(const QString& title) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title);
}

TEST(QtPrompt, LineBreaksOfEveryTextAndTitleAreShownAsSuch) {
    QtPrompt prompt;
    const QString text = QStringLiteral("Prima riga\r\nSeconda\rTerza\r\rQuinta");
    const QString shownText = QStringLiteral("Prima riga\nSeconda\nTerza\n\nQuinta");
    const QString title = QStringLiteral("Conferma\r\nStampa\rEtichette");
    const QString shownTitle = QStringLiteral("Conferma\nStampa\nEtichette");

    MsgResult answer = MsgResult::Cancel;
    Shown box = whileUp([](QWidget& w) { static_cast<QMessageBox&>(w).button(QMessageBox::Yes)->click(); },
                        [](QWidget& w) { return static_cast<QMessageBox&>(w).text(); },
                        [&] { answer = prompt.msgBox(text, MsgBoxStyle::vbYesNo, title, nullptr); });
    EXPECT_EQ(answer, MsgResult::Yes);
    EXPECT_EQ(box.text, shownText);
    EXPECT_EQ(box.title, shownTitle);

    QString value;
    bool ok = false;
    Shown input = whileUp(
        [](QWidget& w) {
            auto& d = static_cast<QInputDialog&>(w);
            d.setTextValue(QStringLiteral("3"));
            d.accept();
        },
        [](QWidget& w) { return static_cast<QInputDialog&>(w).labelText(); },
        [&] { ok = prompt.inputBox(text, title, QStringLiteral("1"), value, nullptr); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(value, "3");
    EXPECT_EQ(input.text, shownText);
    EXPECT_EQ(input.title, shownTitle);
}

TEST(QtPrompt, ABoxIsAtLeastAsWideAsItsTitle) {
    QtPrompt prompt;
    const QString title = QStringLiteral("Selezione delle etichette da stampare per la tabella dei Clienti");
    Shown box = whileUp([](QWidget& w) { static_cast<QMessageBox&>(w).button(QMessageBox::Ok)->click(); },
                        [](QWidget& w) { return static_cast<QMessageBox&>(w).text(); },
                        [&] { prompt.msgBox(QStringLiteral("0 Elementi."), 0, title, nullptr); });
    EXPECT_GT(box.width, titleWidth(title));

    QString value;
    Shown input =
        whileUp([](QWidget& w) { static_cast<QDialog&>(w).reject(); },
                [](QWidget& w) { return static_cast<QInputDialog&>(w).labelText(); },
                [&] { prompt.inputBox(QStringLiteral("Quante?"), title, QString(), value, nullptr); });
    EXPECT_GT(input.width, titleWidth(title));
    EXPECT_TRUE(value.isEmpty());
}

TEST(QtPrompt, ABoxAskedOverAWindowAModalOneCoversShowsOverTheModalOne) {
    QtPrompt prompt;
    QWidget main;
    main.show();
    QDialog record(&main);
    record.setModal(true);
    record.show();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeModalWidget(), &record);
    // The box's owner, read while it is up.
    auto ownerOf = [](const std::function<void()>& open) {
        QWidget* owner = nullptr;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            owner = box->parentWidget();
            box->reject();
        });
        open();
        return owner;
    };
    QString value;
    EXPECT_EQ(ownerOf([&] {
                  prompt.msgBox(QStringLiteral("Data non valida"), MsgBoxStyle::vbExclamation, {}, &main);
              }),
              &record);
    EXPECT_EQ(ownerOf([&] { prompt.inputBox(QStringLiteral("Quante?"), {}, {}, value, &main); }), &record);
    // Asked over the modal window itself, or with no modal window up, the owner is the one asked.
    QLabel field(&record);
    EXPECT_EQ(ownerOf([&] { prompt.msgBox(QStringLiteral("Data non valida"), 0, {}, &field); }), &field);
    record.hide();
    QApplication::processEvents();
    EXPECT_EQ(ownerOf([&] { prompt.msgBox(QStringLiteral("Fatto"), 0, {}, &main); }), &main);
}

// The printer setup proposes the current printer with its paper and orientation; another printer shows
// its own, a printer whose paper is its own offers no other; OK gives back what is shown.
TEST(QtPrompt, ThePrinterSetupShowsEachPrintersPaperAndGivesBackTheChoice) {
    QtPrompt prompt;
    const QPageSize roll(QSizeF(100, 60), QPageSize::Millimeter);
    const std::vector<PrinterSetting> printers{{QStringLiteral("Ufficio"),
                                                {QPageSize(QPageSize::A4), QPageSize(QPageSize::A5)},
                                                QPageSize(QPageSize::A4),
                                                1},
                                               {QStringLiteral("Etichette"), {}, roll, 2}};
    PrinterSetting choice = printers[1];
    QStringList seen;
    auto look = [&](QWidget& w) {
        auto* paper = w.findChild<QComboBox*>(QStringLiteral("cboPaper"));
        seen << w.findChild<QComboBox*>(QStringLiteral("cboPrinter"))->currentText() + u' ' +
                    paper->currentText() + (paper->isEnabled() ? u' ' : u'*') +
                    (w.findChild<QRadioButton*>(QStringLiteral("optLandscape"))->isChecked() ? u'O' : u'V');
    };
    bool ok = false;
    Shown setup = whileUp(
        [&](QWidget& w) {
            look(w);
            w.findChild<QComboBox*>(QStringLiteral("cboPrinter"))->setCurrentIndex(0);
            look(w);
            w.findChild<QComboBox*>(QStringLiteral("cboPaper"))->setCurrentIndex(1);
            w.findChild<QRadioButton*>(QStringLiteral("optLandscape"))->setChecked(true);
            w.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        },
        [](QWidget&) { return QString(); },
        [&] {
            ok = prompt.printerSetup(QStringLiteral("Impostazione\rstampanti"), printers, choice, nullptr);
        });
    EXPECT_EQ(setup.title, "Impostazione\nstampanti");
    EXPECT_EQ(seen, QStringList({QStringLiteral("Etichette ") + roll.name() + QStringLiteral("*O"),
                                 QStringLiteral("Ufficio A4 V")}));
    ASSERT_TRUE(ok);
    EXPECT_EQ(choice.printer, "Ufficio");
    EXPECT_EQ(choice.paper, QPageSize(QPageSize::A5));
    EXPECT_EQ(choice.orientation, 2);

    // Cancelled: the choice stays.
    whileUp([](QWidget& w) { static_cast<QDialog&>(w).reject(); }, [](QWidget&) { return QString(); },
            [&] {
                ok = prompt.printerSetup(QStringLiteral("Impostazione stampanti"), printers, choice, nullptr);
            });
    EXPECT_FALSE(ok);
    EXPECT_EQ(choice.printer, "Ufficio");
}

}  // namespace
