// Labels and buttons painted from their kept pictures against plain ones beside them on the same
// window: the same pixels after the picture is taken, and after each change of what they show.
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "terminal/carddevices/KeptPictureButton.h"
#include "terminal/carddevices/KeptPictureLabel.h"

namespace {

void settle() {
    // A kept picture is taken after the paint that found it out of date.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

template <typename Plain, typename Kept>
struct Pair {
    QDialog window;
    Plain* plain = new Plain(&window);
    Kept* kept = new Kept(&window);

    Pair() {
        auto* column = new QVBoxLayout(&window);
        column->addWidget(plain);
        column->addWidget(kept);
        window.setMinimumWidth(300);
    }
    template <typename F>
    void both(F change) {
        change(static_cast<Plain*>(plain));
        change(static_cast<Plain*>(kept));
        settle();
    }
    // The two widgets' pixels as the window paints them.
    bool alike() {
        const QImage shot = window.grab().toImage();
        return plain->size() == kept->size() && shot.copy(plain->geometry()) == shot.copy(kept->geometry());
    }
    // Beneath a gradient across, so that both lie on the same colours.
    void shade() {
        QPalette shaded = window.palette();
        QLinearGradient across(0, 0, 300, 0);
        across.setColorAt(0, Qt::white);
        across.setColorAt(1, QColor(20, 90, 40));
        shaded.setBrush(QPalette::Window, across);
        window.setPalette(shaded);
        settle();
    }
};

// The application's style with its own colour for button panels and texts.
class Flat : public QProxyStyle {
  public:
    Flat() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelButtonCommand)
            painter->fillRect(option->rect, QColor(200, 40, 40));
        else
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette&, bool enabled,
                      const QString& text, QPalette::ColorRole) const override {
        QPalette red;
        red.setColor(QPalette::WindowText, QColor(200, 40, 40));
        QProxyStyle::drawItemText(painter, rect, flags, red, enabled, text, QPalette::WindowText);
    }
};

TEST(KeptPictureTest, ALabelPaintsWhatAPlainLabelPaintsThroughEveryChange) {
    Pair<QLabel, KeptPictureLabel> p;
    p.both([](QLabel* l) {
        l->setText(QStringLiteral("Passare la carta magnetica nella fessura del dispositivo."));
        l->setWordWrap(true);
    });
    p.window.show();
    settle();
    EXPECT_TRUE(p.alike());
    p.both([](QLabel* l) { l->setText(QStringLiteral("Lettura del Codice dalla Carta...\nPrefisso: OP")); });
    EXPECT_TRUE(p.alike());
    p.both([](QLabel* l) {
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
    });
    EXPECT_TRUE(p.alike());
    p.both([](QLabel* l) { l->setEnabled(false); });
    EXPECT_TRUE(p.alike());
    p.both([](QLabel* l) { l->setAlignment(Qt::AlignRight | Qt::AlignVCenter); });
    EXPECT_TRUE(p.alike());
    QPalette dark = p.window.palette();
    dark.setColor(QPalette::Window, QColor(40, 40, 90));
    p.window.setPalette(dark);
    settle();
    EXPECT_TRUE(p.alike());
    Flat flat;
    p.both([&](QLabel* l) { l->setStyle(&flat); });
    EXPECT_TRUE(p.alike());
    p.shade();
    EXPECT_TRUE(p.alike());
}

TEST(KeptPictureTest, APictureLabelPaintsWhatAPlainLabelPaints) {
    Pair<QLabel, KeptPictureLabel> p;
    // A translucent picture, blended on what lies beneath.
    auto picture = [](QColor ink) {
        QPixmap card(60, 30);
        card.fill(Qt::transparent);
        QPainter painter(&card);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(ink);
        painter.drawEllipse(QRectF(2, 2, 56, 26));
        return card;
    };
    p.both([&](QLabel* l) { l->setPixmap(picture(QColor(200, 160, 60, 180))); });
    p.window.show();
    settle();
    EXPECT_TRUE(p.alike());
    p.both([&](QLabel* l) { l->setPixmap(picture(QColor(30, 90, 170))); });
    EXPECT_TRUE(p.alike());
    p.both([](QLabel* l) { l->setEnabled(false); });
    EXPECT_TRUE(p.alike());
}

TEST(KeptPictureTest, AButtonPaintsWhatAPlainButtonPaintsThroughEveryChange) {
    Pair<QPushButton, KeptPictureButton> p;
    p.both([](QPushButton* b) {
        b->setText(QStringLiteral("Annulla"));
        b->setAutoDefault(false);
    });
    p.window.show();
    settle();
    EXPECT_TRUE(p.alike());
    p.both([](QPushButton* b) { b->setText(QStringLiteral("&Chiudi")); });
    EXPECT_TRUE(p.alike());
    p.both([](QPushButton* b) { b->setDown(true); });
    EXPECT_TRUE(p.alike());
    p.both([](QPushButton* b) {
        b->setDown(false);
        b->setFlat(true);
    });
    EXPECT_TRUE(p.alike());
    p.both([](QPushButton* b) { b->setEnabled(false); });
    EXPECT_TRUE(p.alike());
    Flat flat;
    p.both([&](QPushButton* b) { b->setStyle(&flat); });
    EXPECT_TRUE(p.alike());
    p.shade();
    EXPECT_TRUE(p.alike());
}

}  // namespace
