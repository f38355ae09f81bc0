// The card reader simulator as a program, for trying the card windows by hand: it prints its
// pseudo-terminal and every frame, and takes commands on its input (type "help").
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <string>

#include "support/CardReaderSimulator.h"

namespace {

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

const char* kHelp =
    "swipe TESTO          passa una carta con quel testo\n"
    "rawswipe HEX..       passa una carta raw con quei byte sulla linea\n"
    "status C             stato della prossima risposta (0 = riuscita)\n"
    "statusfor CMD C      stato di ogni risposta al comando CMD (x, y, o, r, m, w, n, c)\n"
    "instant on|off       risposte immediate senza passare la carta\n"
    "silent on|off        nessuna risposta\n"
    "failreply HEX..      risposta all'indicazione di errore ESC 85\n"
    "split N MS           la prossima risposta in due pezzi: N byte, poi il resto dopo MS ms\n"
    "reverse on|off       byte raw letti invertiti bit per bit (predefinito on)\n"
    "garbage [HEX..]      invia rumore (predefinito 58 59 5A)\n"
    "card                 mostra la carta\n"
    "gone                 il dispositivo sparisce (fine)\n"
    "quit                 fine\n";

}  // namespace

int main(int argc, char** argv) {
    auto model = CardReaderSimulator::Model::Iso;
    bool instant = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--raw") {
            model = CardReaderSimulator::Model::Raw;
        } else if (arg == "--instant") {
            instant = true;
        } else {
            std::fprintf(stderr, "uso: %s [--raw] [--instant]\n", argv[0]);
            return 2;
        }
    }
    CardReaderSimulator sim(model);
    sim.setInstant(instant);
    sim.setFrameListener([](const CardReaderSimulator::Frame& f) {
        std::printf("[%9.3f s] %s %s\n", f.at.count() / 1e6, f.fromHost ? "<-" : "->",
                    qPrintable(hex(f.bytes)));
        std::fflush(stdout);
    });
    std::printf("Simulatore %s su %s\n",
                model == CardReaderSimulator::Model::Raw ? "raw (alta/bassa coercività)" : "ISO",
                qPrintable(sim.path()));
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        const QString text = QString::fromStdString(line).trimmed();
        const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty()) continue;
        const QString command = words[0].toLower();
        const QString rest = text.mid(words[0].size()).trimmed();
        const auto onOff = [&] { return words.size() < 2 || words[1] != QLatin1String("off"); };
        const auto bytes = [&](const QString& fallback) {
            return QByteArray::fromHex((rest.isEmpty() ? fallback : rest).toLatin1());
        };
        if (command == QLatin1String("swipe")) {
            sim.swipe(rest);
        } else if (command == QLatin1String("rawswipe")) {
            sim.swipeRawBytes(bytes({}));
        } else if (command == QLatin1String("status") && words.size() == 2) {
            sim.setNextStatus(words[1].toLatin1().at(0));
        } else if (command == QLatin1String("statusfor") && words.size() == 3) {
            sim.setStatusFor(words[1].toLatin1().at(0), words[2].toLatin1().at(0));
        } else if (command == QLatin1String("instant")) {
            sim.setInstant(onOff());
        } else if (command == QLatin1String("silent")) {
            sim.setSilent(onOff());
        } else if (command == QLatin1String("failreply")) {
            sim.setFailureIndicationReply(bytes({}));
        } else if (command == QLatin1String("split") && words.size() == 3) {
            sim.splitNextReply(words[1].toInt(), std::chrono::milliseconds(words[2].toInt()));
        } else if (command == QLatin1String("reverse")) {
            sim.setBitReversal(onOff());
        } else if (command == QLatin1String("garbage")) {
            sim.inject(bytes(QStringLiteral("58595A")));
        } else if (command == QLatin1String("card")) {
            std::printf("carta: \"%s\" raw %s\n", qPrintable(sim.cardText()), qPrintable(hex(sim.cardRaw())));
        } else if (command == QLatin1String("gone")) {
            sim.vanish();
            break;
        } else if (command == QLatin1String("quit")) {
            break;
        } else {
            std::fputs(kHelp, stdout);
        }
        std::fflush(stdout);
    }
    return 0;
}
