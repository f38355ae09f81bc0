// Opening through the shell, with the message of a failure.
#include "startup/OpenInShell.h"

#include <QUrl>

#include "platform/Prompt.h"
#include "platform/modOSWinUtil.h"
#include "startup/modZeltoFormUtility.h"

bool OpenInShell(const QString& fileOrAddress, QWidget* owner) {
    if (ShellExecuteFile(fileOrAddress, QStringLiteral("open"))) return true;
    const QUrl url(fileOrAddress, QUrl::StrictMode);
    const bool address = url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
    Prompt::instance().msgBox(
        (address ? QStringLiteral("Impossibile aprire l'indirizzo:\r\r")
                 : QStringLiteral("Impossibile aprire il file:\r\r")) +
            fileOrAddress +
            QStringLiteral("\r\rNessun programma di questo computer lo ha aperto: aprirlo manualmente."),
        MsgBoxStyle::vbExclamation, g_strMsgBoxTitle, owner);
    return false;
}
