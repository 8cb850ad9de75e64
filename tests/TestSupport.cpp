#include "TestSupport.h"

#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QUrl>
#include <QFileInfo>

void QuillaryTest::SetUp() {
    tempDir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(tempDir->isValid());
    ResetLog();
    ResetSettingsState();
    DataFolder = folder();
    AuthorMode = false;
    CommandItem = nullptr;
    MsgTimeout = 0;
    ScaleQuarters = 4;
    BoxShowing = false;
    BoxHelpContext = 0;
    setNow(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9)));
    answerer = std::make_unique<TestAnswerer>();
}

void QuillaryTest::TearDown() {
    answerer.reset();
    ResetLog();
    ResetSettingsState();
    SetClock({});
    QDir::setCurrent(QDir::tempPath());
    tempDir.reset();
}

QString QuillaryTest::folder() const { return tempDir->path() + '/'; }

void QuillaryTest::setNow(const QDateTime &now) {
    SetClock([now] { return now; });
}

void WriteFileBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write test file");
    f.write(bytes);
}

QByteArray ReadFileBytes(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QString ProgramOutput(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString BrowserDom(const QString &file, const QString &profileFolder, QString *log) {
    QProcess chromium;
    chromium.start(QStringLiteral("chromium"),
                   {"--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking", "--enable-logging=stderr",
                    "--user-data-dir=" + profileFolder, "--dump-dom", QUrl::fromLocalFile(file).toString()});
    EXPECT_TRUE(chromium.waitForFinished(60000)) << "chromium did not run: " << chromium.errorString().toStdString();
    if (log) *log = QString::fromUtf8(chromium.readAllStandardError());
    return QString::fromUtf8(chromium.readAllStandardOutput());
}

void PumpEvents(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
