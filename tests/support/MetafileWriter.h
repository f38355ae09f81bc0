// Small WMF and EMF pictures written record by record for the picture tests: boxes filled in given
// colours inside a frame of given millimetres, and lines of text in a WMF. Numbers are little-endian,
// each record laid out as its format defines it.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QRectF>
#include <QString>

#include <vector>

struct MetafileBox {
    QRectF mm;  // from the frame's top-left corner
    QColor color;
};

struct MetafileText {
    QPointF mm;  // the top-left corner of the text
    double heightMm;
    QString text;  // Latin-1
    QColor color;
};

// A placeable WMF in hundredths of a millimetre (2540 units an inch): window and frame from (0, 0),
// each box a solid brush with no pen, each text in Arial on a transparent background.
QByteArray WmfPicture(const QSizeF& frameMm, const std::vector<MetafileBox>& boxes,
                      const std::vector<MetafileText>& texts = {});
// One WMF record of 16-bit parameters, and a placeable WMF of those records (the end record added) with
// the frame and window as above and room for that many objects.
QByteArray WmfRecord(int function, std::initializer_list<int> parameters);
QByteArray WmfOfRecords(const QSizeF& frameMm, int objects, const std::vector<QByteArray>& records);
// An EMF on a reference device of 10 pixels a millimetre, drawn in its pixels (the default mapping):
// the frame in hundredths of a millimetre, each box a solid brush with the null pen.
QByteArray EmfPicture(const QSizeF& frameMm, const std::vector<MetafileBox>& boxes);
// Writes the bytes to the file; false when it cannot.
bool WritePictureFile(const QString& path, const QByteArray& bytes);
// "red", "blue", "white" or "other" for a pixel read back from a page, where compression and smoothing
// leave colours a little off.
const char* ColourName(QRgb pixel);
