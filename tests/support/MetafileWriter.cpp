// Small WMF and EMF pictures written record by record.
#include "support/MetafileWriter.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

void put16(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void put32(QByteArray& out, qint64 value) {
    put16(out, int(value & 0xFFFF));
    put16(out, int((value >> 16) & 0xFFFF));
}

// A colour as both formats store it: red, green, blue, then a zero byte.
qint64 colorRef(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

int hundredths(double mm) {
    return int(std::lround(mm * 100));
}

// One WMF record: its size in 16-bit words (the six bytes of size and function included), the function,
// then the parameters.
QByteArray wmfRecord(int function, const QByteArray& parameters) {
    QByteArray r;
    put32(r, 3 + parameters.size() / 2);
    put16(r, function);
    return r + parameters;
}

QByteArray words(std::initializer_list<int> values) {
    QByteArray p;
    for (int v : values)
        put16(p, v);
    return p;
}

QByteArray wmfBrush(const QColor& color) {
    QByteArray p;
    put16(p, 0);  // BS_SOLID
    put32(p, colorRef(color));
    put16(p, 0);                  // hatch
    return wmfRecord(0x02FC, p);  // META_CREATEBRUSHINDIRECT
}

QByteArray wmfNullPen() {
    QByteArray p;
    put16(p, 5);  // PS_NULL
    put16(p, 0);  // width as a point
    put16(p, 0);
    put32(p, 0);
    return wmfRecord(0x02FA, p);  // META_CREATEPENINDIRECT
}

QByteArray wmfFont(int height) {
    QByteArray p;
    put16(p, -height);              // negative: the characters' height, without the internal leading
    put16(p, 0);                    // width
    put16(p, 0);                    // escapement
    put16(p, 0);                    // orientation
    put16(p, 400);                  // weight
    p.append(QByteArray(8, '\0'));  // italic, underline, strike-out, charset, precisions, quality, pitch
    QByteArray face("Arial");
    face.append(QByteArray(32 - face.size(), '\0'));
    return wmfRecord(0x02FB, p + face);  // META_CREATEFONTINDIRECT
}

QByteArray wmfTextOut(int x, int y, const QByteArray& text) {
    QByteArray p;
    put16(p, int(text.size()));
    p.append(text);
    if (text.size() % 2) p.append('\0');
    put16(p, y);
    put16(p, x);
    return wmfRecord(0x0521, p);  // META_TEXTOUT
}

}  // namespace

QByteArray WmfRecord(int function, std::initializer_list<int> parameters) {
    return wmfRecord(function, words(parameters));
}

QByteArray WmfPicture(const QSizeF& frameMm, const std::vector<MetafileBox>& boxes,
                      const std::vector<MetafileText>& texts) {
    std::vector<QByteArray> records;
    for (const MetafileBox& b : boxes) {
        // Objects take the lowest free slot: the brush 0, the pen 1; both freed after the box.
        records.push_back(wmfBrush(b.color));
        records.push_back(wmfNullPen());
        records.push_back(WmfRecord(0x012D, {0}));  // META_SELECTOBJECT
        records.push_back(WmfRecord(0x012D, {1}));
        const QRectF& r = b.mm;
        records.push_back(WmfRecord(0x041B, {hundredths(r.bottom()), hundredths(r.right()),
                                             hundredths(r.top()), hundredths(r.left())}));  // META_RECTANGLE
        records.push_back(WmfRecord(0x01F0, {0}));  // META_DELETEOBJECT
        records.push_back(WmfRecord(0x01F0, {1}));
    }
    for (const MetafileText& t : texts) {
        records.push_back(wmfFont(hundredths(t.heightMm)));
        records.push_back(WmfRecord(0x012D, {0}));
        QByteArray color;
        put32(color, colorRef(t.color));
        records.push_back(wmfRecord(0x0209, color));  // META_SETTEXTCOLOR
        records.push_back(WmfRecord(0x0102, {1}));    // META_SETBKMODE TRANSPARENT
        records.push_back(wmfTextOut(hundredths(t.mm.x()), hundredths(t.mm.y()), t.text.toLatin1()));
        records.push_back(WmfRecord(0x01F0, {0}));
    }
    return WmfOfRecords(frameMm, 2, records);  // a brush and a pen, or a font, at once
}

QByteArray WmfOfRecords(const QSizeF& frameMm, int objects, const std::vector<QByteArray>& records) {
    const int width = hundredths(frameMm.width()), height = hundredths(frameMm.height());
    std::vector<QByteArray> all = {WmfRecord(0x020B, {0, 0}),            // META_SETWINDOWORG y, x
                                   WmfRecord(0x020C, {height, width})};  // META_SETWINDOWEXT y, x
    all.insert(all.end(), records.begin(), records.end());
    all.push_back(WmfRecord(0x0000, {}));  // META_EOF
    QByteArray body;
    int maxRecord = 0;
    for (const QByteArray& r : all) {
        body += r;
        maxRecord = std::max(maxRecord, int(r.size() / 2));
    }
    QByteArray header;      // META_HEADER
    put16(header, 1);       // in memory
    put16(header, 9);       // header size in words
    put16(header, 0x0300);  // version
    put32(header, (18 + body.size()) / 2);
    put16(header, objects);
    put32(header, maxRecord);
    put16(header, 0);

    QByteArray placeable;
    put32(placeable, 0x9AC6CDD7);  // key
    put16(placeable, 0);           // handle
    put16(placeable, 0);           // bounding box: left, top, right, bottom
    put16(placeable, 0);
    put16(placeable, width);
    put16(placeable, height);
    put16(placeable, 2540);  // units an inch
    put32(placeable, 0);
    int checksum = 0;
    for (int i = 0; i < placeable.size(); i += 2)
        checksum ^= uchar(placeable[i]) | (uchar(placeable[i + 1]) << 8);
    put16(placeable, checksum);
    return placeable + header + body;
}

QByteArray EmfPicture(const QSizeF& frameMm, const std::vector<MetafileBox>& boxes) {
    constexpr int kPixelsPerMm = 10;
    auto px = [](double mm) { return int(std::lround(mm * kPixelsPerMm)); };
    auto record = [](int type, std::initializer_list<qint64> values) {
        QByteArray r;
        put32(r, type);
        put32(r, 8 + 4 * qint64(values.size()));
        for (qint64 v : values)
            put32(r, v);
        return r;
    };
    constexpr qint64 kNullPen = 0x80000008;  // the stock object
    QByteArray body;
    int count = 0;
    for (const MetafileBox& b : boxes) {
        body += record(39, {1, 0, colorRef(b.color), 0});  // EMR_CREATEBRUSHINDIRECT: handle 1, BS_SOLID
        body += record(37, {1});                           // EMR_SELECTOBJECT
        body += record(37, {kNullPen});
        const QRectF& r = b.mm;
        // EMR_RECTANGLE: left, top, right, bottom
        body += record(43, {px(r.left()), px(r.top()), px(r.right()), px(r.bottom())});
        body += record(40, {1});  // EMR_DELETEOBJECT
        count += 5;
    }
    body += record(14, {0, 16, 20});  // EMR_EOF: no palette, its size again last
    count += 1;

    QByteArray header;
    put32(header, 1);   // EMR_HEADER
    put32(header, 88);  // its size, without the optional fields
    for (qint64 v : {0, 0, px(frameMm.width()) - 1, px(frameMm.height()) - 1})
        put32(header, v);  // bounds, in device pixels
    for (qint64 v : {0, 0, hundredths(frameMm.width()), hundredths(frameMm.height())})
        put32(header, v);       // frame, in hundredths of a millimetre
    put32(header, 0x464D4520);  // " EMF"
    put32(header, 0x00010000);  // version
    put32(header, 88 + body.size());
    put32(header, count + 1);  // records, the header included
    put16(header, 2);          // handles: the brush's and the reserved zero
    put16(header, 0);
    put32(header, 0);  // no description
    put32(header, 0);
    put32(header, 0);                   // no palette
    put32(header, 210 * kPixelsPerMm);  // the reference device, an A4 page
    put32(header, 297 * kPixelsPerMm);
    put32(header, 210);
    put32(header, 297);
    return header + body;
}

bool WritePictureFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const char* ColourName(QRgb pixel) {
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    if (r > 215 && g < 40 && b < 40) return "red";
    if (b > 215 && r < 40 && g < 40) return "blue";
    if (r > 215 && g > 215 && b > 215) return "white";
    return "other";
}
