// Layout export files: composing and parsing the bytes, and the file around them.
#include "labels/LayoutExportFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// A header line: "'#", the key, "=" and the value.
bool splitHeader(QStringView line, QStringView& key, QStringView& value) {
    if (!line.startsWith(u"'#")) return false;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) return false;
    key = line.mid(2, equals - 2);
    value = line.mid(equals + 1);
    return true;
}

const LayoutExportKey* find(const LayoutExportKeys& keys, QStringView key) {
    for (const LayoutExportKey& k : keys)
        if (k.key == key) return &k;
    return nullptr;
}

}  // namespace

QByteArray LayoutExportFile::Compose(const LayoutExportKeys& keys, const QString& script) {
    QString text;
    for (const LayoutExportKey& k : keys)
        text += QStringLiteral("'#") + k.key + u'=' + k.value() + kCrLf;
    QByteArray bytes = EncodeWindows1252(text);
    bytes += EncodeWindows1252(script);
    return bytes;
}

QString LayoutExportFile::Parse(QByteArrayView bytes, const LayoutExportKeys& keys) {
    const QString text = DecodeWindows1252(bytes);
    const QStringView all(text);
    const qsizetype n = all.size();
    QString script;
    // Kept lines that end with CR LF stand in the text as the script has them: such runs are copied whole.
    qsizetype runStart = -1;
    auto endRun = [&](qsizetype upTo) {
        if (runStart >= 0) script += all.mid(runStart, upTo - runStart);
        runStart = -1;
    };
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = all.indexOf(u'\r', start);
        if (end < 0) end = n;
        qsizetype next = end + 1;
        if (next < n && all[next] == u'\n') ++next;
        const QStringView line = all.mid(start, end - start);
        QStringView key, value;
        if (splitHeader(line, key, value)) {
            endRun(start);
            if (const LayoutExportKey* k = find(keys, key)) k->apply(value.toString());
        } else if (next == end + 2) {
            if (runStart < 0) runStart = start;
        } else {
            endRun(start);
            script += line;
            script += kCrLf;
        }
        start = next;
    }
    endRun(n);
    return script;
}

void LayoutExportFile::Write(const QString& path, const LayoutExportKeys& keys, const QString& script) {
    const QByteArray bytes = Compose(keys, script);
    QSaveFile file(path);
    // A folder where no companion file can be made still lets the file itself be written.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) raiseFileError(75, path);
    if (file.write(bytes) != bytes.size() || !file.commit())
        raiseFileError(file.error() == QFileDevice::ResourceError ? 61 : 75, path);
}

QString LayoutExportFile::Read(const QString& path, const LayoutExportKeys& keys) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) raiseFileError(file.exists() ? 75 : 53, path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) raiseFileError(75, path);
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
