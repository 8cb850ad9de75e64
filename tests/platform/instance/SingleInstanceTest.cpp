#include "platform/instance/SingleInstance.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>

namespace {

QString uniqueServer() {
    return QStringLiteral("QuillaryTest-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch());
}

class SingleInstanceTest : public QuillaryTest {};

} // namespace

TEST_F(SingleInstanceTest, SecondCopyFindsTheLockHeld) {
    const QString lockFolder = path("run");
    auto first = std::make_unique<SingleInstance>(lockFolder, uniqueServer());
    ASSERT_TRUE(first->tryLock());
    EXPECT_TRUE(QFile::exists(lockFolder + "/Quillary.lock"));
    SingleInstance second(lockFolder, uniqueServer());
    EXPECT_FALSE(second.tryLock());
    EXPECT_FALSE(second.isLocked());
    first.reset(); // the first copy ends
    EXPECT_TRUE(second.tryLock());
}

TEST_F(SingleInstanceTest, LockOfADeadProcessIsTakenOver) {
    const QString lockFolder = path("run");
    QDir().mkpath(lockFolder);
    const QString lockPath = lockFolder + "/Quillary.lock";
    // A real lock file, then the same content naming a process that has ended.
    QByteArray content;
    {
        QLockFile real(lockPath);
        ASSERT_TRUE(real.tryLock(0));
        content = ReadFileBytes(lockPath);
        real.unlock();
    }
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("echo $$")});
    ASSERT_TRUE(sh.waitForFinished(5000));
    const QByteArray deadPid = sh.readAllStandardOutput().trimmed();
    ASSERT_FALSE(deadPid.isEmpty());
    const qsizetype eol = content.indexOf('\n');
    ASSERT_GT(eol, 0);
    WriteFileBytes(lockPath, deadPid + content.mid(eol));

    SingleInstance copy(lockFolder, uniqueServer());
    EXPECT_TRUE(copy.tryLock());
    EXPECT_TRUE(ReadFileBytes(lockPath).startsWith(
        QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
}

TEST_F(SingleInstanceTest, MessageFromSecondCopyArrivesAsBytes) {
    const QString name = uniqueServer();
    SingleInstance running(path("run"), name);
    ASSERT_TRUE(running.listen());
    QSignalSpy spy(&running, &SingleInstance::messageReceived);
    QByteArray message("Open item \xB7 Figure");
    message.append(QByteArray(70000, 'x')); // more than one socket buffer
    ASSERT_TRUE(SingleInstance::SendToRunningCopy(message, name));
    ASSERT_TRUE(spy.wait(5000));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toByteArray(), message);

    ASSERT_TRUE(SingleInstance::SendToRunningCopy("second", name));
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.at(1).at(0).toByteArray(), QByteArray("second"));
}

TEST_F(SingleInstanceTest, ListenRemovesALeftOverServer) {
    const QString name = uniqueServer();
    {
        SingleInstance crashed(path("run"), name);
        ASSERT_TRUE(crashed.listen());
    }
    // A stale socket file with the same name must not stop the next copy.
    WriteFileBytes(QDir::tempPath() + "/" + name, "");
    SingleInstance next(path("run"), name);
    EXPECT_TRUE(next.listen());
}
