// MetafilePicture: WMF and EMF files as pictures for the print engines and the document viewer.
#pragma once

#include <QByteArray>
#include <QImage>

// Whether the bytes begin a WMF or an EMF; the first kMetafileStart bytes of a file are enough.
inline constexpr qint64 kMetafileStart = 64;
bool IsMetafile(const QByteArray& start);

// The metafile drawn at 300 dpi (less for a very large one), with its own size in millimetres as its
// resolution; a null picture when it cannot be drawn. The libraries run in a child process with a time
// and memory bound, so that a broken file costs this picture only, never the program.
QImage ReadMetafile(const QByteArray& data);
