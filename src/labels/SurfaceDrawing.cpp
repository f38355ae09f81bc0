// The shared drawing helpers of the label and report engines.
#include "labels/SurfaceDrawing.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Variant.h"
#include "platform/DrawSurface.h"
#include "platform/MetafilePicture.h"
#include "platform/Prompt.h"
#include "platform/modOSWinUtil.h"
#include "startup/modZeltoFormUtility.h"

namespace {

const QChar kCR(u'\r');
// A metafile larger than this is no picture a layout prints.
constexpr qint64 kMaxMetafileBytes = 64LL << 20;

float width(DrawSurface& s, const QString& text) {
    return static_cast<float>(s.textWidth(text));
}

QString normalizeBreaks(QString text, bool keepBreaks) {
    if (keepBreaks) {
        text.replace(u'\n', kCR);
        text.replace(QStringLiteral("\r\r"), QString(kCR));
    } else {
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(kCR, u' ');
        text.replace(u'\n', u' ');
    }
    return text;
}

// How many leading characters of the text make a line no wider than the wrap: a halving search from
// the whole piece, as layouts have always been measured.
qsizetype breakPoint(DrawSurface& s, const QString& text, qsizetype n, float wrap) {
    qsizetype k = n;
    float w = width(s, text.left(n));
    auto step = static_cast<qsizetype>(RoundHalfEven(n / 2.0));
    while (step > 0 && w != wrap) {
        if (w > wrap) {
            k -= step;
            step = static_cast<qsizetype>(RoundHalfEven(step / 2.0));
        } else {
            k += step;
        }
        w = width(s, text.left(k));
    }
    return k;
}

}  // namespace

float DrawTextLines(DrawSurface& surface, float x, float y, QString text, float wrap, bool keepBreaks,
                    bool advanceAfterWhole) {
    // A negative wrap has no meaning: it counts as no wrap.
    if (wrap < 0) wrap = 0;
    surface.setCurrentY(y);
    surface.setCurrentX(x);
    text = normalizeBreaks(std::move(text), keepBreaks);
    float widest = 0;
    QString lastLine;
    while (!text.isEmpty()) {
        float w = 0;
        const qsizetype cr = keepBreaks ? text.indexOf(kCR) : -1;
        const bool hardBreak = cr >= 0;
        const qsizetype n = hardBreak ? cr : text.size();
        const QString piece = text.left(n);
        const bool mustWrap = !hardBreak && wrap > 0 && width(surface, piece) > wrap;
        if (!hardBreak && !mustWrap) {
            surface.print(text);
            w = width(surface, text);
            text.clear();
            if (advanceAfterWhole)
                surface.setCurrentY(static_cast<float>(surface.currentY()) +
                                    static_cast<float>(surface.textHeight(lastLine)));
        } else {
            QString line;
            qsizetype restAt;
            if (wrap == 0 || width(surface, piece) <= wrap) {
                line = piece;
                restAt = n;
            } else {
                qsizetype k = breakPoint(surface, text, n, wrap);
                const qsizetype space = text.left(k).lastIndexOf(u' ');
                if (space >= 0) {
                    line = text.left(space);
                    restAt = space + 1;
                } else {
                    // Not even one character fits: it goes alone on its line, so the text always shrinks.
                    if (k < 1) k = 1;
                    line = text.left(k);
                    restAt = k;
                }
            }
            surface.print(line);
            surface.setCurrentX(x);
            surface.setCurrentY(static_cast<float>(surface.currentY()) +
                                static_cast<float>(surface.textHeight(line)));
            w = width(surface, line);
            lastLine = line;
            qsizetype from = restAt;
            while (from < text.size() && text[from] == kCR)
                ++from;
            while (from < text.size() && text[from] == u' ')
                ++from;
            text = text.mid(from);
        }
        if (w > widest) widest = w;
    }
    return widest;
}

float DrawTextRight(DrawSurface& surface, float y, float endX, const QString& text) {
    const float w = width(surface, text);
    surface.setCurrentY(y);
    surface.setCurrentX(endX - w);
    surface.print(text);
    return w;
}

float DrawTurnedText(DrawSurface& surface, float x, float y, const QString& text, bool upward,
                     bool raiseToBase, int32_t color, const Object& source) {
    const float w = width(surface, text);
    const float h = static_cast<float>(surface.textHeight(text));
    // The block is as tall as the text is long, measured across and turned onto the vertical scale.
    if (raiseToBase) y = y - static_cast<float>(w * surface.unitsPerMmY() / surface.unitsPerMmX()) + h;
    switch (surface.printTurned(x, y, text, upward, color)) {
        case TurnedText::Drawn:
            break;
        case TurnedText::NoContext:
            RaiseErrorExNamed(source.className(), kAppErrorCode,
                              QStringLiteral("Impossibile creare il Device Context (compatibile)"));
        case TurnedText::NoBitmap:
            RaiseErrorExNamed(source.className(), kAppErrorCode,
                              QStringLiteral("Impossibile creare la BitMap"));
        case TurnedText::NoFont:
            RaiseErrorExNamed(source.className(), kAppErrorCode,
                              QStringLiteral("Impossibile creare il Font"));
    }
    return w;
}

void DrawBox(DrawSurface& surface, float x, float y, float x2, float y2, bool fill) {
    if (fill) {
        surface.setFillStyle(FillStyles::kSolid);
        surface.box(QPointF(x, y), QPointF(x2, y2));
    } else {
        surface.setFillStyle(FillStyles::kTransparent);
        surface.box(QPointF(x, y), QPointF(x2, y));
        surface.box(QPointF(x, y2), QPointF(x2, y2));
        surface.box(QPointF(x, y), QPointF(x, y2));
        surface.box(QPointF(x2, y), QPointF(x2, y2));
    }
    surface.setFillStyle(FillStyles::kTransparent);
}

void DrawCircle(DrawSurface& surface, float x, float y, float radius, bool fill) {
    surface.setFillStyle(fill ? FillStyles::kSolid : FillStyles::kTransparent);
    surface.circle(QPointF(x, y), radius);
    surface.setFillStyle(FillStyles::kTransparent);
}

void DrawLine(DrawSurface& surface, float x, float y, float x2, float y2) {
    if (x == x2 || y == y2)
        surface.box(QPointF(x, y), QPointF(x2, y2));
    else
        surface.line(QPointF(x, y), QPointF(x2, y2));
}

PictureFile ReadPictureFile(const QString& path, QImage& picture) {
    picture = QImage();
    // Opened without waiting and looked at before reading: a named pipe or a device would block
    // the run, or never end.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return PictureFile::NotAFile;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return PictureFile::NotAFile;
    }
    QFile in;
    if (!in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return PictureFile::NotAFile;
    }
    if (IsMetafile(in.peek(kMetafileStart))) {
        if (st.st_size > kMaxMetafileBytes) return PictureFile::NotAPicture;
        picture = ReadMetafile(in.read(kMaxMetafileBytes));
        return picture.isNull() ? PictureFile::NotAPicture : PictureFile::Loaded;
    }
    QImageReader reader(&in);
    const QSize size = reader.size();
    if (size.isValid() && static_cast<qint64>(size.width()) * size.height() > kMaxPicturePixels)
        return PictureFile::NotAPicture;
    picture = reader.read();
    return picture.isNull() ? PictureFile::NotAPicture : PictureFile::Loaded;
}

void DrawImageFile(DrawSurface& surface, const QString& file, float x, float y, float dimY, float dimX,
                   bool stretch) {
    const QString path = MakeAbsolutePath(file);
    QImage picture;
    const PictureFile read = ReadPictureFile(path, picture);
    if (read == PictureFile::NotAFile) {
        Prompt::instance().msgBox(QStringLiteral("Impossibile accedere al file dell'immagine:\r") + file,
                                  MsgBoxStyle::vbOKOnly, g_strMsgBoxTitle);
        return;
    }
    if (read == PictureFile::NotAPicture) RaiseVbError(481);
    const QSizeF natural = surface.naturalSize(picture);
    const QRectF whole(0, 0, picture.width(), picture.height());
    if (dimY == 0 || dimX == 0) {
        surface.paintPicture(picture, QRectF(QPointF(x, y), natural), whole);
    } else if (stretch) {
        surface.paintPicture(picture, QRectF(x, y, dimX, dimY), whole);
    } else {
        // The region from the top-left corner at the picture's own scale, no larger than the picture.
        const double w = qMin<double>(qAbs(dimX), natural.width());
        const double h = qMin<double>(qAbs(dimY), natural.height());
        surface.paintPicture(
            picture, QRectF(x, y, w, h),
            QRectF(0, 0, w / natural.width() * picture.width(), h / natural.height() * picture.height()));
    }
}

float PreviewFactor(const DrawSurface& surface) {
    return surface.isPrinter() ? 1.0f : static_cast<float>(surface.unitsPerMmY());
}

void SetSurfaceFont(DrawSurface& surface, int16_t size, bool bold, bool italic, const QString& name,
                    bool underline) {
    SurfaceFont font = surface.font();
    if (!name.isEmpty()) font.name = name;
    font.size = surface.isPrinter() ? float(size) : float(size) / PreviewFactor(surface);
    font.bold = bold;
    font.italic = italic;
    font.underline = underline;
    surface.setFont(font);
}
