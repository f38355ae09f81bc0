// ShellExplorer: the document viewer the object viewer hosts under "Shell.Explorer": it shows a local
// HTML, text, picture or PDF file (Navigate) and prints it as a job of its own on the current printer
// (ExecWB 6).
#pragma once

#include <QStackedWidget>
#include <QString>

#include <memory>

#include "labels/HostedControls.h"

class QLabel;
class QPainter;
class QPrinter;
class QScrollArea;
class QTextBrowser;

namespace Poppler {
class Document;
}

class ShellExplorer : public QStackedWidget {
    Q_OBJECT
  public:
    explicit ShellExplorer(QWidget* parent = nullptr);
    ~ShellExplorer() override;

    // The widget and its script face.
    static HostedControl Create(QWidget* parent);

    // A file path or file: URL; error 53 when the file is not there, 481 for a picture or PDF that
    // does not load.
    void Navigate(const QString& url);
    void Refresh();
    QString LocationURL() const;
    // Command 6 prints; any other command is not supported (error 445).
    void ExecWB(int32_t command, int32_t option);

  private:
    enum class Kind { None, Text, Picture, Pdf };
    void printOn(QPrinter& printer);
    void paintPages(QPainter& painter, QPrinter& printer);

    QTextBrowser* browser_ = nullptr;
    QScrollArea* pictureArea_ = nullptr;
    QLabel* picture_ = nullptr;
    Kind kind_ = Kind::None;
    QString path_;
    QImage image_;
    std::unique_ptr<Poppler::Document> pdf_;
};
