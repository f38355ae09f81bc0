// The error details window.
#include "startup/frmShowException.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "platform/modOSWinUtil.h"
#include "startup/OpenInShell.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Writes `text` and a line end to `file`, replacing it; a file that cannot be written raises.
void writeLine(const QString& file, const QString& text, bool byteOrderMark) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw AppError(75, QString::fromLatin1(kProductName),
                       QStringLiteral("Errore di accesso al percorso/file: %1").arg(file));
    QTextStream s(&out);
    s.setEncoding(QStringConverter::Utf8);
    s.setGenerateByteOrderMark(byteOrderMark);
    s << text << kCrLf;
    s.flush();
    if (s.status() != QTextStream::Ok || !out.flush())
        throw AppError(75, QString::fromLatin1(kProductName),
                       QStringLiteral("Errore di accesso al percorso/file: %1").arg(file));
}

}  // namespace

frmShowException::frmShowException(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmShowException"));
    setWindowTitle(QStringLiteral("Visualizzazione Errore"));
    setModal(true);

    lblCode_ = new QLabel(this);
    lblCode_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtMsg_ = new QPlainTextEdit(this);
    txtMsg_->setReadOnly(true);
    txtMsg_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    cmdBrowser_ = new QPushButton(QStringLiteral("&Browser"), this);
    cmdBrowser_->setToolTip(QStringLiteral("Visualizza il messaggio nel Browser HTML predefinito"));
    cmdSave_ = new QPushButton(QStringLiteral("&Salva"), this);
    cmdSave_->setToolTip(QStringLiteral("Salva il messaggio di errore in un file di testo"));
    cmdSupport_ = new QPushButton(QStringLiteral("S&upporto"), this);
    cmdSupport_->setToolTip(
        QStringLiteral("Spedisce il messaggio di errore al supporto tramite posta elettronica"));
    cmdEsc_ = new QPushButton(QStringLiteral("&Esci"), this);

    auto* code = new QHBoxLayout;
    code->addWidget(new QLabel(QStringLiteral("Codice:"), this));
    code->addWidget(lblCode_, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdBrowser_, cmdSave_, cmdSupport_})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdEsc_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(code);
    layout->addWidget(txtMsg_, 1);
    layout->addLayout(buttons);
    resize(520, 320);

    connect(cmdBrowser_, &QPushButton::clicked, this, &frmShowException::cmdBrowser_Click);
    connect(cmdSave_, &QPushButton::clicked, this, &frmShowException::cmdSave_Click);
    connect(cmdSupport_, &QPushButton::clicked, this, &frmShowException::cmdSupport_Click);
    connect(cmdEsc_, &QPushButton::clicked, this, &frmShowException::cmdEsc_Click);
}

void frmShowException::SetException(const QString& code, const QString& message) {
    lblCode_->setText(code);
    message_ = message;
    if (!message_.contains(kCrLf)) message_.replace(QLatin1Char('\r'), kCrLf);
    // The edit keeps its own line ends; the text itself stays in message_.
    QString shown = message_;
    shown.replace(kCrLf, QStringLiteral("\n"));
    txtMsg_->setPlainText(shown);
}

QString frmShowException::codeText() const {
    return lblCode_->text();
}

QString frmShowException::ErrorText() const {
    return QStringLiteral("Error: ") + codeText() + message_;
}

void frmShowException::cmdBrowser_Click() {
    try {
        const QString file = QDir(ProgramFolder()).filePath(QStringLiteral("Error.htm"));
        // Escaped, so that the browser shows the message as it is and never runs what it carries.
        writeLine(file, message_.toHtmlEscaped(), true);
        OpenInShell(file, this);
    } catch (const AppError& e) {
        Prompt::instance().msgBox(e.description(), MsgBoxStyle::vbOKOnly, QStringLiteral("ERRORE"), this);
    }
}

void frmShowException::cmdSave_Click() {
    using namespace MsgBoxStyle;
    const QString proposed = QDir(ProgramFolder()).filePath(QStringLiteral("LastError.txt"));
    const QString file =
        Prompt::instance().saveFileName(QString(), proposed, QStringLiteral("Testo (*.txt)"), this);
    if (file.isEmpty()) return;  // cancelled
    if (FileExists(file) &&
        Prompt::instance().msgBox(QStringLiteral("Il file esiste già...\r\rVuoi sostituirlo ?"),
                                  vbYesNo | vbExclamation | vbDefaultButton2, QStringLiteral("ATTENZIONE"),
                                  this) != MsgResult::Yes)
        return;
    try {
        writeLine(file, ErrorText(), false);
    } catch (const AppError& e) {
        Prompt::instance().msgBox(e.description(), vbOKOnly, QStringLiteral("ERRORE"), this);
    }
}

QString frmShowException::SupportMailAddress() {
    return QStringLiteral("supporto@zeltolavrix.it");
}

QString frmShowException::SupportMailLink(const QString& text) {
    // Blanks and line ends as the mail programs expect them; the characters that would end the
    // body or the link, "%" itself and everything outside ASCII percent-encoded as UTF-8.
    QString body;
    const QByteArray bytes = text.toUtf8();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        switch (b) {
            case ' ':
                body += QStringLiteral("%20");
                break;
            case '\r':
                body += QStringLiteral("%0d");
                break;
            case '\n':
                body += QStringLiteral("%0a");
                break;
            case '%':
            case '&':
            case '#':
            case '?':
            case '+':
            case '=':
                body += QStringLiteral("%%1").arg(static_cast<uint>(b), 2, 16, QLatin1Char('0')).toUpper();
                break;
            default:
                if (b >= 0x80)
                    body +=
                        QStringLiteral("%%1").arg(static_cast<uint>(b), 2, 16, QLatin1Char('0')).toUpper();
                else
                    body += QLatin1Char(c);
        }
    }
    return QStringLiteral("mailto:") + SupportMailAddress() +
           QStringLiteral("?subject=SUPPORT%20REQUEST&body=") + body;
}

void frmShowException::cmdSupport_Click() {
    ShellExecuteFile(SupportMailLink(ErrorText()), QStringLiteral("open"));
}

void frmShowException::cmdEsc_Click() {
    reject();
}
