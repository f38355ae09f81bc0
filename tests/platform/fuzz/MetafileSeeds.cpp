// Writes the metafile fuzzer's seeds into the folder given: WMF with and without the placeable header,
// with boxes and text, and EMF with boxes.
#include <QDir>

#include <cstdio>

#include "support/MetafileWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "metafile_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const std::vector<MetafileBox> boxes = {{QRectF(5, 5, 10, 10), Qt::red},
                                            {QRectF(25, 5, 10, 10), Qt::blue}};
    const std::vector<MetafileText> texts = {{QPointF(2, 2), 6, QStringLiteral("Zelto"), Qt::black}};
    const QByteArray wmf = WmfPicture(QSizeF(40, 20), boxes, texts);
    constexpr int kPlaceableHeader = 22;
    const bool written =
        WritePictureFile(folder.filePath(QStringLiteral("boxes-text.wmf")), wmf) &&
        WritePictureFile(folder.filePath(QStringLiteral("no-frame.wmf")), wmf.mid(kPlaceableHeader)) &&
        WritePictureFile(folder.filePath(QStringLiteral("boxes.emf")), EmfPicture(QSizeF(40, 20), boxes));
    return written ? 0 : 1;
}
