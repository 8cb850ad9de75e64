#pragma once
// Fetches a web resource over HTTP(S) through one replaceable fetcher, so
// that tests answer from a local server or a script and never reach the
// internet.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

struct FetchOutcome {
    bool ok = false;
    QByteArray body;
    QString error; // the network layer's own text when not ok
};

class Fetcher {
public:
    virtual ~Fetcher() = default;
    virtual FetchOutcome get(const QUrl &url) = 0;
};

// The fetcher in use: the one installed, else QtFetcher.
Fetcher &CurrentFetcher();
// Installs a fetcher (not owned); null restores the default.
void SetFetcher(Fetcher *fetcher);

// The default over Qt Network: a GET with the agent "Quillary", never from
// or into a cache, following Qt's default redirects. It waits in a local
// event loop with the program's windows disabled. A status outside 200-299,
// a network error, no data for timeoutMs, no whole answer within deadlineMs
// (a server that trickles a byte at a time never trips timeoutMs), or a
// body over capBytes fails.
class QtFetcher : public Fetcher {
public:
    int timeoutMs = 30000;
    int deadlineMs = 60000;
    qint64 capBytes = 32LL * 1024 * 1024;
    FetchOutcome get(const QUrl &url) override;
};

inline const QString NoInternetText = QStringLiteral("No internet connection, or antivirus action.");

// The whole resource as text (by the program's read rule). With a file name the bytes are saved there too, the
// file written only when the fetch succeeded. A failure, or no connection,
// is logged and abandons the action with NoInternetText.
QString FetchURL(const QString &url, const QString &fileName = QString());

// Whether the machine reports a connection; unknown counts as connected.
bool InternetConnected();
// Replaces the connection test; an empty function restores the default.
void SetConnectionProbe(std::function<bool()> probe);
// Runs once, before the first fetch of the run (the program hides its splash
// window there).
void SetFirstFetchHook(std::function<void()> hook);
