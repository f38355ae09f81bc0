// Card text fields and read data blocks.
#include "terminal/carddevices/CardTrackData.h"

#include <algorithm>

#include "terminal/carddevices/Track1Codec.h"

namespace {

constexpr char kEsc = 0x1B;

bool beginsTrack1(const QByteArray& block) {
    return block.size() >= 2 && block[0] == kEsc && block[1] == '\x01';
}

void splitFields(QString text, QString& id, QString& data, bool crypt) {
    if (crypt) text = ReverseText(text);
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space < 0) {
        id = text;
        return;
    }
    id = text.left(space);
    data = text.mid(space + 1);
}

}  // namespace

QString JoinTrackFields(const QString& id, const QString& data) {
    return data.isEmpty() ? id : id + QLatin1Char(' ') + data;
}

QString ReverseText(const QString& text) {
    QString reversed = text;
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

void ParseIsoTrackData(const QByteArray& block, QString& id, QString& data, bool crypt) {
    id.clear();
    data.clear();
    if (!beginsTrack1(block)) return;
    // The text lies between the start sentinel (third byte) and the end sentinel before the ESC.
    const qsizetype esc = block.indexOf(kEsc, 2);
    if (esc < 5) return;
    splitFields(QString::fromLatin1(block.mid(3, esc - 4)), id, data, crypt);
}

void ParseRawTrackData(const QByteArray& block, QString& id, QString& data, bool crypt) {
    id.clear();
    data.clear();
    if (!beginsTrack1(block) || block.size() < 3) return;
    const int length = static_cast<unsigned char>(block[2]);
    if (length == 0) return;
    // The length byte cuts the packed bytes: they may hold ESC, "?" or FS themselves.
    splitFields(HexToAsciiFromTrack1(block.mid(3, length)), id, data, crypt);
}
