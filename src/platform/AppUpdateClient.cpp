// The update client on Qt Network; waits for each reply in a local event loop, so that the user
// interface stays alive.
#include "platform/AppUpdateClient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>
#include <QUrlQuery>

#include <memory>

#include "base/AppError.h"

namespace {

const QString kSource = QStringLiteral("APPLICATION UPDATE");

[[noreturn]] void Fail(const QString& description) {
    throw AppError(kAppErrorNumber, kSource, description);
}

QString VersionText(int major, int minor, int revision) {
    return QStringLiteral("%1_%2_%3")
        .arg(major, 4, 10, QLatin1Char('0'))
        .arg(minor, 4, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

}  // namespace

QString AppUpdateClient::GetAppUpdateFile(const QString& scriptUrl, const QString& applicationName, int major,
                                          int minor, int revision, const QString& localFile,
                                          const Progress& progress) {
    QUrl url(scriptUrl);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        Fail(QStringLiteral("Indirizzo del server di aggiornamento non valido: ") + scriptUrl);
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("App"), applicationName);
    query.addQueryItem(QStringLiteral("Ver"), VersionText(major, minor, revision));
    const bool download = !localFile.isEmpty();
    if (download) query.addQueryItem(QStringLiteral("Get"), QStringLiteral("1"));
    url.setQuery(query);

    std::unique_ptr<QSaveFile> out;
    if (download) {
        out = std::make_unique<QSaveFile>(localFile);
        if (!out->open(QIODevice::WriteOnly))
            Fail(QStringLiteral("Impossibile scrivere il file di aggiornamento ") + localFile);
    }

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = manager.get(request);
    QByteArray body;
    bool stopped = false, writeFailed = false;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        const QByteArray chunk = reply->readAll();
        if (!out)
            body += chunk;
        else if (out->write(chunk) != chunk.size())
            writeFailed = true;
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64 received, qint64 total) {
        if (progress && !stopped && !progress(received, total)) {
            stopped = true;
            reply->abort();
        }
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    const QByteArray rest = reply->readAll();
    if (!out)
        body += rest;
    else if (out->write(rest) != rest.size())
        writeFailed = true;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    reply->deleteLater();

    if (stopped) Fail(QStringLiteral("Aggiornamento interrotto"));
    if (error != QNetworkReply::NoError)
        Fail(QStringLiteral("Errore di comunicazione con il server di aggiornamento: ") + errorText);
    if (status != 200)
        Fail(QStringLiteral("Il server di aggiornamento ha risposto con l'errore ") +
             QString::number(status));
    if (out) {
        if (writeFailed || !out->commit())
            Fail(QStringLiteral("Impossibile scrivere il file di aggiornamento ") + localFile);
        return QString();
    }
    // One line: a trailing line end is not part of the reply.
    return QString::fromUtf8(body).section(QLatin1Char('\n'), 0, 0).trimmed();
}
