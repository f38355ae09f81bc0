// The program's entry: Italian settings, then the start-up road.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "platform/ItalianLocale.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZeltoLavrix"));
    QApplication::setApplicationVersion(QStringLiteral(ZL_VERSION));
    InstallItalianLocale(app);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Zelto Lavrix"));
    window.setCentralWidget(new QLabel(QStringLiteral("Benvenuti in Zelto Lavrix"), &window));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
