// The document viewer: a text browser for HTML and text, a picture for images and PDF pages.
#include "labels/ShellExplorer.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QScrollArea>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <poppler-qt6.h>

#include "base/AppError.h"
#include "base/Dispatch.h"
#include "labels/SurfaceDrawing.h"
#include "platform/MetafilePicture.h"
#include "platform/PrinterRegistry.h"
#include "platform/PrinterSurface.h"

namespace {

const QString kSource = QStringLiteral("Shell.Explorer");
constexpr int kCommandPrint = 6;
constexpr double kPdfScreenDpi = 96;
constexpr double kPdfPrintDpi = 300;

// The script face: holds the widget for as long as the viewer keeps it.
class ShellExplorerObject : public Dispatch {
  public:
    explicit ShellExplorerObject(ShellExplorer* widget) : Dispatch(members()), widget_(widget) {}

    ShellExplorer& widget() const {
        if (!widget_) RaiseVbError(91, kSource);
        return *widget_;
    }

  private:
    static const DispatchClass& members() {
        using E = ShellExplorerObject;
        static const DispatchClassOf<E> cls = [] {
            DispatchClassOf<E> c(QStringLiteral("WebBrowser"));
            c.method(QStringLiteral("Navigate"),
                     {Param(QStringLiteral("URL"), VarType::String), OptParam(QStringLiteral("Flags")),
                      OptParam(QStringLiteral("TargetFrameName")), OptParam(QStringLiteral("PostData")),
                      OptParam(QStringLiteral("Headers"))},
                     [](E& e, DispatchArgs& a) { e.widget().Navigate(a.string(0)); })
                .method(QStringLiteral("Navigate2"),
                        {Param(QStringLiteral("URL"), VarType::String), OptParam(QStringLiteral("Flags")),
                         OptParam(QStringLiteral("TargetFrameName")), OptParam(QStringLiteral("PostData")),
                         OptParam(QStringLiteral("Headers"))},
                        [](E& e, DispatchArgs& a) { e.widget().Navigate(a.string(0)); })
                .method(QStringLiteral("ExecWB"),
                        {Param(QStringLiteral("cmdID"), VarType::Long),
                         Param(QStringLiteral("cmdexecopt"), VarType::Long),
                         OptParam(QStringLiteral("pvaIn")), OptParam(QStringLiteral("pvaOut"))},
                        [](E& e, DispatchArgs& a) { e.widget().ExecWB(a.lng(0), a.lng(1)); })
                .method(QStringLiteral("Refresh"), {}, [](E& e, DispatchArgs&) { e.widget().Refresh(); })
                .get(QStringLiteral("LocationURL"), {},
                     [](E& e, DispatchArgs&) { return e.widget().LocationURL(); });
            return c;
        }();
        return cls;
    }

    QPointer<ShellExplorer> widget_;
};

QString localPath(const QString& url) {
    const QString trimmed = url.trimmed();
    if (trimmed.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) return QUrl(trimmed).toLocalFile();
    return QString(trimmed).replace(u'\\', u'/');
}

// A picture Qt reads, or a WMF or EMF.
bool isPicture(const QString& path) {
    if (!QImageReader::imageFormat(path).isEmpty()) return true;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && IsMetafile(file.read(kMetafileStart));
}

// The picture fitted into the page, in its proportions, at the top left.
void drawFitted(QPainter& painter, const QImage& image, const QRectF& page) {
    if (image.isNull()) return;
    QSizeF size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(page.topLeft(), size), image);
}

}  // namespace

ShellExplorer::ShellExplorer(QWidget* parent) : QStackedWidget(parent) {
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    pictureArea_ = new QScrollArea(this);
    picture_ = new QLabel(pictureArea_);
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureArea_->setWidget(picture_);
    pictureArea_->setWidgetResizable(true);
    addWidget(browser_);
    addWidget(pictureArea_);
}

ShellExplorer::~ShellExplorer() = default;

HostedControl ShellExplorer::Create(QWidget* parent) {
    auto* widget = new ShellExplorer(parent);
    return {widget, std::make_shared<ShellExplorerObject>(widget)};
}

void ShellExplorer::Navigate(const QString& url) {
    const QString path = localPath(url);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        throw AppError(53, kSource, QStringLiteral("Impossibile trovare il file: %1").arg(url));
    const QString suffix = info.suffix().toLower();
    pdf_.reset();
    image_ = QImage();
    if (suffix == QLatin1String("pdf")) {
        pdf_ = Poppler::Document::load(path);
        if (!pdf_ || pdf_->isLocked()) RaiseVbError(481, kSource);
        pdf_->setRenderHint(Poppler::Document::Antialiasing);
        pdf_->setRenderHint(Poppler::Document::TextAntialiasing);
        // On screen the pages are shown one under the other.
        std::vector<QImage> pages;
        int width = 0, height = 0;
        for (int i = 0; i < pdf_->numPages(); ++i) {
            std::unique_ptr<Poppler::Page> page(pdf_->page(i));
            if (!page) continue;
            pages.push_back(page->renderToImage(kPdfScreenDpi, kPdfScreenDpi));
            width = std::max(width, pages.back().width());
            height += pages.back().height() + 8;
        }
        QImage all(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
        all.fill(Qt::lightGray);
        QPainter p(&all);
        int y = 0;
        for (const QImage& page : pages) {
            p.drawImage(0, y, page);
            y += page.height() + 8;
        }
        p.end();
        picture_->setPixmap(QPixmap::fromImage(all));
        setCurrentWidget(pictureArea_);
        kind_ = Kind::Pdf;
    } else if (isPicture(path)) {
        if (ReadPictureFile(path, image_) != PictureFile::Loaded) RaiseVbError(481, kSource);
        picture_->setPixmap(QPixmap::fromImage(image_));
        setCurrentWidget(pictureArea_);
        kind_ = Kind::Picture;
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw AppError(53, kSource, QStringLiteral("Impossibile trovare il file: %1").arg(url));
        const QString text = QString::fromUtf8(file.readAll());
        browser_->document()->setBaseUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
        if (suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
            browser_->setHtml(text);
        else
            browser_->setPlainText(text);
        setCurrentWidget(browser_);
        kind_ = Kind::Text;
    }
    path_ = info.absoluteFilePath();
}

void ShellExplorer::Refresh() {
    if (!path_.isEmpty()) Navigate(path_);
}

QString ShellExplorer::LocationURL() const {
    return path_.isEmpty() ? QString() : QUrl::fromLocalFile(path_).toString();
}

void ShellExplorer::ExecWB(int32_t command, int32_t) {
    if (command != kCommandPrint) RaiseVbError(445, kSource);
    if (kind_ == Kind::None) RaiseVbError(5, kSource);
    auto printer = std::dynamic_pointer_cast<PrinterSurface>(PrinterRegistry::instance().current());
    if (!printer) RaiseVbError(482, kSource);
    std::unique_ptr<QPrinter> job = printer->NewJob(QFileInfo(path_).fileName());
    printOn(*job);
    printer->EndJob(*job);
}

void ShellExplorer::printOn(QPrinter& printer) {
    if (kind_ == Kind::Text) {
        // With the page size given, the document is laid out on the page as it is, without the page
        // numbers Qt adds otherwise.
        std::unique_ptr<QTextDocument> document(browser_->document()->clone());
        document->setPageSize(printer.pageLayout().paintRect(QPageLayout::Point).size());
        document->print(&printer);
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) RaiseVbError(482, kSource);
    paintPages(painter, printer);
    painter.end();
}

void ShellExplorer::paintPages(QPainter& painter, QPrinter& printer) {
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, page.width(), page.height());
    if (kind_ == Kind::Picture) {
        drawFitted(painter, image_, area);
        return;
    }
    const double dpi = std::min<double>(printer.resolution(), kPdfPrintDpi);
    for (int i = 0; i < pdf_->numPages(); ++i) {
        std::unique_ptr<Poppler::Page> pdfPage(pdf_->page(i));
        if (!pdfPage) continue;
        if (i > 0) printer.newPage();
        drawFitted(painter, pdfPage->renderToImage(dpi, dpi), area);
    }
}
