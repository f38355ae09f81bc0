// The card windows as a program, for trying a device (or the simulator) by hand with the user's
// card settings:  card_dialog read [PREFIX] | write CODE [PREFIX] | options
#include <QApplication>
#include <QStringList>

#include <cstdio>

#include "platform/ItalianLocale.h"
#include "startup/Configuration.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/carddevices/frmMagneticOptions.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallItalianLocale(app);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "uso: card_dialog read [PREFISSO] | write CODICE [PREFISSO] | options\n");
        return 2;
    }
    ReadConfiguration();
    const QString command = args[0];
    if (command == QLatin1String("read")) {
        const QString code = frmMagneticDev::ReadCode(nullptr, args.value(1));
        std::printf("%s\n", qPrintable(code));
        return code.isEmpty() ? 1 : 0;
    }
    if (command == QLatin1String("write") && args.size() >= 2) {
        const bool written = frmMagneticDev::WriteCode(nullptr, args[1], args.value(2));
        std::printf("%s\n", written ? "scritta" : "non scritta");
        return written ? 0 : 1;
    }
    if (command == QLatin1String("options")) {
        frmMagneticOptions::ShowOver(nullptr);
        return app.exec();
    }
    std::fprintf(stderr, "comando sconosciuto: %s\n", qPrintable(command));
    return 2;
}
