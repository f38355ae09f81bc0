// PreviewPageFiles: the report preview's pages past those it keeps in memory, each a bitmap file
// "TmpPreview_" n ".bmp" in a folder of this preview's own under the program folder, so that no other
// preview (another run, another computer on a shared program folder) overwrites or deletes them.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

class QTemporaryDir;

class PreviewPageFiles {
  public:
    PreviewPageFiles();
    ~PreviewPageFiles();  // the files and their folder go

    // The file of page n; the folder is made at the first page saved.
    QString fileName(int16_t page) const;
    // Writes the page; raises when it cannot be written.
    void save(int16_t page, const QImage& image);
    // Reads the page back; raises when its file is missing or unreadable.
    QImage load(int16_t page) const;
    // Deletes every page file and the folder.
    void deleteAll();
    // The folder of the files; empty before the first page is saved.
    QString folder() const;

  private:
    std::unique_ptr<QTemporaryDir> dir_;
};
