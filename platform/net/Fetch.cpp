#include "platform/net/Fetch.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "platform/shell/BusyWait.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

namespace {

Fetcher *g_fetcher = nullptr;

std::function<bool()> &probe() {
    static std::function<bool()> fn;
    return fn;
}

std::function<void()> &firstFetchHook() {
    static std::function<void()> fn;
    return fn;
}

bool &fetchedBefore() {
    static bool done = false;
    return done;
}

} // namespace

Fetcher &CurrentFetcher() {
    static QtFetcher qt;
    return g_fetcher ? *g_fetcher : qt;
}

void SetFetcher(Fetcher *fetcher) { g_fetcher = fetcher; }

FetchOutcome QtFetcher::get(const QUrl &url) {
    FetchOutcome out;
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Quillary"));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(timeoutMs);

    BusyWait busy;
    QNetworkReply *reply = manager.get(request);
    bool overCap = false, pastDeadline = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        pastDeadline = true;
        reply->abort();
    });
    deadline.start(deadlineMs);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        out.body += reply->readAll();
        if (out.body.size() > capBytes) {
            overCap = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    if (!overCap && reply->isOpen()) out.body += reply->readAll();
    if (!overCap && out.body.size() > capBytes) overCap = true;

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    deadline.stop();
    if (pastDeadline) {
        out.error = QStringLiteral("No whole answer within %1 ms").arg(deadlineMs);
    } else if (overCap) {
        out.error = QStringLiteral("The reply from %1 is larger than %2 bytes")
                        .arg(url.toDisplayString())
                        .arg(capBytes);
    } else if (reply->error() != QNetworkReply::NoError) {
        out.error = reply->errorString();
        if (reply->error() == QNetworkReply::OperationCanceledError)
            out.error += QStringLiteral(" (no data for %1 ms)").arg(timeoutMs);
    } else if (url.scheme().startsWith(QLatin1String("http")) && (status < 200 || status > 299)) {
        out.error = QStringLiteral("HTTP status %1 from %2").arg(status).arg(url.toDisplayString());
    } else {
        out.ok = true;
    }
    if (!out.ok) out.body.clear();
    reply->deleteLater();
    return out;
}

QString FetchURL(const QString &url, const QString &fileName) {
    if (!fetchedBefore()) {
        fetchedBefore() = true;
        if (firstFetchHook()) firstFetchHook()();
    }
    if (!InternetConnected()) {
        WriteLog(QStringLiteral("Fetch ") + url + QStringLiteral(": no connection"));
        AbortMsg(NoInternetText);
    }
    const FetchOutcome got = CurrentFetcher().get(QUrl(url));
    if (!got.ok) {
        WriteLog(QStringLiteral("Fetch ") + url + QStringLiteral(": ") + got.error);
        AbortMsg(NoInternetText);
    }
    if (!fileName.isEmpty()) {
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(got.body) != got.body.size() ||
            !file.commit())
            AbortMsg(file.errorString() + QStringLiteral("\rCannot write ") + fileName);
    }
    return DecodeTextBytes(got.body);
}

bool InternetConnected() {
    if (probe()) return probe()();
    if (!QNetworkInformation::instance() && !QNetworkInformation::loadDefaultBackend()) return true;
    const QNetworkInformation *info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

void SetConnectionProbe(std::function<bool()> p) { probe() = std::move(p); }

void SetFirstFetchHook(std::function<void()> hook) { firstFetchHook() = std::move(hook); }
