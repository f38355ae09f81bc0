// The card text as the readers/encoders carry it: two fields joined by a space, optionally stored
// reversed, and the data block of a read reply in ISO (characters) or raw (packed track 1) form.
#pragma once

#include <QByteArray>
#include <QString>

// `id` alone, or `id`, a space and `data` when `data` is not empty.
QString JoinTrackFields(const QString& id, const QString& data);
// The text with its characters in the opposite order.
QString ReverseText(const QString& text);

// The two fields of a read's data block (the reply without its first 2 and last 4 bytes):
// ESC 01, start sentinel, text, end sentinel, ESC and the next track. A block of another shape
// gives empty fields. With `crypt` the text was stored reversed.
void ParseIsoTrackData(const QByteArray& block, QString& id, QString& data, bool crypt);
// The same for a raw read: ESC 01, a length byte L and L bytes of packed track 1.
void ParseRawTrackData(const QByteArray& block, QString& id, QString& data, bool crypt);
