// Labels painted from their kept pictures against plain labels beside them on the same window: the
// same pixels after the picture is taken, and after each change of what they show.
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "terminal/carddevices/KeptPictureLabel.h"

namespace {

struct Pair {
    QDialog window;
    QLabel* plain = new QLabel(&window);
    KeptPictureLabel* kept = new KeptPictureLabel(&window);

    Pair() {
        auto* column = new QVBoxLayout(&window);
        column->addWidget(plain);
        column->addWidget(kept);
        window.setMinimumWidth(300);
    }
    template <typename F>
    void both(F change) {
        change(plain);
        change(kept);
        QCoreApplication::processEvents();  // the kept label's picture is taken after its paint
        QCoreApplication::processEvents();
    }
    // The two labels' pixels as the window paints them.
    bool alike() {
        const QImage shot = window.grab().toImage();
        return plain->size() == kept->size() && shot.copy(plain->geometry()) == shot.copy(kept->geometry());
    }
};

TEST(KeptPictureLabelTest, PaintsWhatAPlainLabelPaintsThroughEveryChange) {
    Pair p;
    p.both([](QLabel* l) {
        l->setText(QStringLiteral("Passare la carta magnetica nella fessura del dispositivo."));
        l->setWordWrap(true);
    });
    p.window.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
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
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(p.alike());
    // Beneath a gradient (across, so that both labels lie on the same colours) the label paints as a
    // plain one does.
    QPalette shaded = p.window.palette();
    QLinearGradient across(0, 0, 300, 0);
    across.setColorAt(0, Qt::white);
    across.setColorAt(1, QColor(20, 90, 40));
    shaded.setBrush(QPalette::Window, across);
    p.window.setPalette(shaded);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(p.alike());
}

}  // namespace
