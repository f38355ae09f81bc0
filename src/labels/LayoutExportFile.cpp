// Layout export files: composing and parsing the bytes, and the file around them.
#include "labels/LayoutExportFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/AppError.h"
#include "base/Windows1252.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "startup/modZeltoFormUtility.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kFilter = QStringLiteral("VB Script (*.vbs)");

[[noreturn]] void raiseFileError(int32_t number, const QString& path) {
    throw AppError(number, QString::fromLatin1(kProductName),
                   VbErrorText(number) + QStringLiteral(": ") + QDir::toNativeSeparators(path));
}

// Anything but a regular file within the bound: a pipe or a device would wait or never end, and a
// file that large is no layout.
[[noreturn]] void refuseImport(const QString& path) {
    throw AppError(
        75, QString::fromLatin1(kProductName),
        QStringLiteral("Impossibile importare il file:\r%1\r\rSi possono importare solo file di testo "
                       "fino a %2 MB.")
            .arg(QDir::toNativeSeparators(path))
            .arg(LayoutExportFile::kMaxFileSize / (1024 * 1024)));
}

const LayoutExportKey* find(const LayoutExportKeys& keys, QStringView key) {
    for (const LayoutExportKey& k : keys)
        if (k.key == key) return &k;
    return nullptr;
}

}  // namespace

QByteArray LayoutExportFile::Compose(const LayoutExportKeys& keys, const QString& script) {
    QString header;
    for (const LayoutExportKey& k : keys)
        header += QStringLiteral("'#") + k.key + u'=' + k.value() + kCrLf;
    QByteArray bytes;
    bytes.reserve(header.size() + script.size());
    AppendEncodedWindows1252(header, bytes);
    AppendEncodedWindows1252(script, bytes);
    return bytes;
}

QString LayoutExportFile::Parse(QByteArrayView bytes, const LayoutExportKeys& keys) {
    // Bytes and characters stand one for one, and CR, LF, "'", "#" and "=" are the same in both: the
    // lines are found in the bytes, which are decoded straight into the script.
    const char* data = bytes.data();
    const qsizetype n = bytes.size();
    QString script;
    script.reserve(n + 2);
    // Kept lines that end with CR LF stand in the file as the script has them: such runs go whole.
    qsizetype runStart = -1;
    auto endRun = [&](qsizetype upTo) {
        if (runStart >= 0) AppendDecodedWindows1252(bytes.sliced(runStart, upTo - runStart), script);
        runStart = -1;
    };
    qsizetype start = 0;
    while (start < n) {
        const void* cr = std::memchr(data + start, '\r', static_cast<size_t>(n - start));
        const qsizetype end = cr ? static_cast<const char*>(cr) - data : n;
        qsizetype next = end + 1;
        if (next < n && data[next] == '\n') ++next;
        const QByteArrayView line = bytes.sliced(start, end - start);
        const qsizetype equals = line.startsWith("'#") ? line.indexOf('=') : -1;
        if (equals >= 0) {
            endRun(start);
            if (const LayoutExportKey* k = find(keys, DecodeWindows1252(line.sliced(2, equals - 2))))
                k->apply(DecodeWindows1252(line.sliced(equals + 1)));
        } else if (next == end + 2) {
            if (runStart < 0) runStart = start;
        } else {
            endRun(start);
            AppendDecodedWindows1252(line, script);
            script += kCrLf;
        }
        start = next;
    }
    endRun(n);
    return script;
}

void LayoutExportFile::Write(const QString& path, const LayoutExportKeys& keys, const QString& script) {
    // A pipe or a device is neither replaced by the file nor written into.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) raiseFileError(75, path);
    const QByteArray bytes = Compose(keys, script);
    QSaveFile file(path);
    // A folder where no companion file can be made still lets the file itself be written.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) raiseFileError(75, path);
    if (file.write(bytes) != bytes.size() || !file.commit())
        raiseFileError(file.error() == QFileDevice::ResourceError ? 61 : 75, path);
}

QString LayoutExportFile::Read(const QString& path, const LayoutExportKeys& keys) {
    // Opened without waiting and looked at before reading.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) raiseFileError(errno == ENOENT || errno == ENOTDIR ? 53 : 75, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
        ::close(fd);
        refuseImport(path);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        raiseFileError(75, path);
    }
    // One byte more tells a file that grew past the bound since it was looked at.
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) raiseFileError(75, path);
    if (bytes.size() > kMaxFileSize) refuseImport(path);
    return Parse(bytes, keys);
}

bool LayoutExportFile::Export(QWidget* owner, const QString& fileName, const LayoutExportKeys& keys,
                              const QString& script) {
    const QString path =
        Prompt::instance().saveFileName(QString(), QDir(ProgramFolder()).filePath(fileName), kFilter, owner);
    if (path.isEmpty()) return false;
    if (QFileInfo::exists(path)) {
        const QString question = QStringLiteral("Il file esiste già...\r\rVuoi sostituirlo ?");
        if (Prompt::instance().msgBox(
                question, MsgBoxStyle::vbYesNo | MsgBoxStyle::vbExclamation | MsgBoxStyle::vbDefaultButton2,
                g_strMsgBoxTitle, owner) != MsgResult::Yes)
            return false;
    }
    Write(path, keys, script);
    return true;
}

bool LayoutExportFile::Import(QWidget* owner, const QString& fileName, const LayoutExportKeys& keys,
                              QString& script) {
    const QString path =
        Prompt::instance().openFileName(QString(), QDir(ProgramFolder()).filePath(fileName), kFilter, owner);
    if (path.isEmpty()) return false;
    script = Read(path, keys);
    return true;
}
