// LayoutExportFile: the text file that carries a label or report layout to another table, computer or
// installation: header lines "'#Key=value", each ended by CR LF, then the layout's script with no line
// end added. Every header line is a VBScript comment, so the file reads as a script. The bytes are
// Windows-1252 both ways. Each editor passes its own key table: the keys it writes, in their order, and
// what reading each one does to its window.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

struct LayoutExportKey {
    QString key;  // compared case-sensitively
    // The value written: a box's text as it is, "1" or "0" for a check box.
    std::function<QString()> value;
    // What reading the value does; raising an error refuses it and stops the reading there.
    std::function<void(const QString& value)> apply;
};
using LayoutExportKeys = std::vector<LayoutExportKey>;

class LayoutExportFile {
  public:
    // The largest file read: far beyond any layout's script.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    // The file's bytes: one line per key, in the table's order, then the script unchanged.
    static QByteArray Compose(const LayoutExportKeys& keys, const QString& script);

    // Reads the bytes line by line. A line ends at CR LF or at a lone CR; a lone LF stays inside its
    // line; a last line without an end counts. A line whose first two characters are "'#" and that
    // holds "=" is a header line: its key runs from the third character to the first "=", its value is
    // the rest, untrimmed. A key of the table is applied at once (so the last occurrence wins); the line
    // of any other key is dropped. Every other line is kept, followed by CR LF; the kept lines are the
    // result, the script. An error raised by `apply` reaches the caller, and the values applied before
    // it stay applied.
    static QString Parse(QByteArrayView bytes, const LayoutExportKeys& keys);

    // Compose into the file, created anew (an existing file is replaced). A file that cannot be
    // written, or a name that stands for a folder, a pipe or a device, raises an AppError whose
    // description says so, naming the file; what exists then stays as it was.
    static void Write(const QString& path, const LayoutExportKeys& keys, const QString& script);
    // Parse of the file's bytes; a file that cannot be read raises an AppError naming it. Only a
    // regular file of at most kMaxFileSize bytes is read: anything else is refused, before any value is
    // applied, with an AppError that names it and says the bound.
    static QString Read(const QString& path, const LayoutExportKeys& keys);

    // "&Esporta" of a layout window: the save chooser (its own title, filter "VB Script (*.vbs)")
    // proposing `fileName` in the program folder; when a file or folder of the chosen name exists, the
    // question "Il file esiste già..." (Yes/No, No the default); then Write. False when the user
    // cancelled or answered No. Errors of Write reach the caller.
    static bool Export(QWidget* owner, const QString& fileName, const LayoutExportKeys& keys,
                       const QString& script);
    // "&Importa": the open chooser, as above, then Read into `script`. False when the user cancelled;
    // errors of Read reach the caller, and `script` is then left as it was.
    static bool Import(QWidget* owner, const QString& fileName, const LayoutExportKeys& keys,
                       QString& script);
};
