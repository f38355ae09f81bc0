// The program's PDF printer: drafts in a temporary folder, saved through the prompt service.
#include "platform/ProgramPdfPrinter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include "base/AppError.h"
#include "platform/Clock.h"
#include "platform/GuardedApplication.h"
#include "platform/Prompt.h"

namespace {

using namespace MsgBoxStyle;

const QString kFilter = QStringLiteral("Documento PDF (*.pdf)");

// A shown window of the program that can own the file chooser; null when there is none.
QWidget* askingWindow() {
    if (QWidget* w = QApplication::activeWindow()) return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip) return w;
    return nullptr;
}

// "Stampa 2024-03-05 10.20.30.pdf" in `folder`, with " (2)", " (3)"... when that file is there.
QString freshName(const QString& folder) {
    const QString stem =
        QStringLiteral("Stampa ") + Clock::nowDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    const QDir dir(folder);
    QString name = dir.filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = dir.filePath(stem + QStringLiteral(" (%1).pdf").arg(n));
    return name;
}

// Writes the draft whole over `target` (an existing file stays as it was when writing fails).
bool copyOver(const QString& draft, const QString& target) {
    QFile in(draft);
    QSaveFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return false;
    if (out.write(in.readAll()) != in.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

// What is said of a file that could not be written, in a box or to the error reporter.
QString cannotWrite(const QString& target) {
    return QStringLiteral("Impossibile scrivere il file \"") + target + QStringLiteral("\".");
}

// A draft file of its own for each printer, in one temporary folder of the process.
QString newDraft() {
    static QTemporaryDir drafts;
    static int count = 0;
    return QDir(drafts.path()).filePath(QStringLiteral("documento-%1.pdf").arg(++count));
}

}  // namespace

ProgramPdfPrinter::ProgramPdfPrinter()
    : PrinterSurface(printerName(), QPageSize(QPageSize::A4), QMarginsF(), newDraft()) {}

QString ProgramPdfPrinter::printerName() {
    return QStringLiteral("Stampa su PDF");
}

QString ProgramPdfPrinter::documentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

void ProgramPdfPrinter::endDoc() {
    const bool printed = inDocument();
    PrinterSurface::endDoc();
    setDocumentWritten(printed && save(outputFileName()));
}

void ProgramPdfPrinter::EndJob(QPrinter& job) {
    save(job.outputFileName());
}

bool ProgramPdfPrinter::save(const QString& draft) {
    if (!QFileInfo::exists(draft)) return false;
    QWidget* owner = askingWindow();
    if (!owner) {
        const QString folder = documentsFolder();
        const QString target = freshName(folder);
        const bool written = QDir().mkpath(folder) && copyOver(draft, target);
        if (!written) GuardedApplication::Report(AppError(75, printerName(), cannotWrite(target)));
        QFile::remove(draft);
        return written;
    }
    // The chooser opens where the last document went, else in the documents folder when there is one.
    QString folder = lastFolder_;
    if (folder.isEmpty())
        folder = QFileInfo(documentsFolder()).isDir() ? documentsFolder() : QDir::homePath();
    Prompt& prompt = Prompt::instance();
    bool written = false;
    for (;;) {
        QString target = prompt.saveFileName(printerName(), freshName(folder), kFilter, owner);
        if (target.isEmpty()) break;
        if (QFileInfo(target).suffix().isEmpty()) target += QStringLiteral(".pdf");
        if (QFileInfo::exists(target) &&
            prompt.msgBox(QStringLiteral("Il file esiste già...\r\rVuoi sostituirlo ?"),
                          vbYesNo | vbExclamation | vbDefaultButton2, {}, owner) != MsgResult::Yes)
            continue;
        if (copyOver(draft, target)) {
            lastFolder_ = QFileInfo(target).absolutePath();
            written = true;
            break;
        }
        prompt.msgBox(cannotWrite(target), vbCritical, {}, owner);
    }
    QFile::remove(draft);
    return written;
}
