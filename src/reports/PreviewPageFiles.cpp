// The preview's page files.
#include "reports/PreviewPageFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include "base/AppError.h"
#include "platform/ProgramFolder.h"

PreviewPageFiles::PreviewPageFiles() = default;

PreviewPageFiles::~PreviewPageFiles() {
    deleteAll();
}

QString PreviewPageFiles::folder() const {
    return dir_ ? dir_->path() : QString();
}

QString PreviewPageFiles::fileName(int16_t page) const {
    return folder() + QStringLiteral("/TmpPreview_") + QString::number(page) + QStringLiteral(".bmp");
}

void PreviewPageFiles::save(int16_t page, const QImage& image) {
    if (!dir_) {
        dir_ = std::make_unique<QTemporaryDir>(ProgramFolder() + QStringLiteral("/TmpPreview-XXXXXX"));
        if (!dir_->isValid()) {
            dir_.reset();
            RaiseVbError(75);  // path/file access error
        }
    }
    if (!image.save(fileName(page), "BMP")) RaiseVbError(75);
}

QImage PreviewPageFiles::load(int16_t page) const {
    const QString file = fileName(page);
    if (!dir_ || !QFile::exists(file)) RaiseVbError(53);  // file not found
    QImage image(file, "BMP");
    if (image.isNull()) RaiseVbError(481);  // invalid picture
    return image;
}

void PreviewPageFiles::deleteAll() {
    dir_.reset();  // removes the folder with its files
}
