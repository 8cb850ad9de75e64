#pragma once
// One running copy per user: a lock file held for the whole run, and a local
// server on which a second copy hands its message to the first.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // lockFolder: where "Quillary.lock" lives (the runtime folder by default);
    // serverName: the local server's name ("Quillary-" + the user id by default).
    explicit SingleInstance(const QString &lockFolder = DefaultLockFolder(),
                            const QString &serverName = DefaultServerName(),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock; false when another live copy holds it. A lock left by
    // a process that no longer runs is taken over.
    bool tryLock();
    bool isLocked() const;
    QString lockFilePath() const;

    // Starts listening for messages from later copies (a server left over
    // from a crashed copy is removed first).
    bool listen();
    QString serverName() const { return name; }

    // Sends bytes to the running copy; false when none answers in time.
    static bool SendToRunningCopy(const QByteArray &bytes,
                                  const QString &serverName = DefaultServerName(),
                                  int timeoutMs = 2000);

    static QString DefaultLockFolder();
    static QString DefaultServerName();

signals:
    // One message from another copy, as its bytes.
    void messageReceived(const QByteArray &bytes);

private:
    void acceptConnections();

    QString folder;
    QString name;
    std::unique_ptr<QLockFile> lock;
    QLocalServer *server = nullptr;
};
