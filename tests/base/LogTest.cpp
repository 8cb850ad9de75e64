#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>

namespace {

class LogTest : public QuillaryTest {
protected:
    QString logPath() const { return path(QStringLiteral("Log.Txt")); }
    QStringList logLines() const {
        const QString text = Cp1252::decode(ReadFileBytes(logPath()));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
};

TEST_F(LogTest, NothingIsWrittenBeforeStart) {
    WriteLog(QStringLiteral("too early"));
    EXPECT_FALSE(QFile::exists(logPath()));
    EXPECT_EQ(LogState(), ' ');

    WriteLog(QStringLiteral("START"));
    EXPECT_EQ(LogState(), 'Y');
    EXPECT_EQ(ReadFileBytes(logPath()), QByteArray("Log File 6-Dec-26\r\n14.05.09  START\r\n"));
}

TEST_F(LogTest, SecondStartIsAnOrdinaryLine) {
    WriteLog(QStringLiteral("START"));
    setNow(QDateTime(QDate(2026, 12, 6), QTime(9, 7, 3)));
    WriteLog(QStringLiteral("START"));
    WriteLog(QStringLiteral("Events Open"));
    EXPECT_EQ(logLines(), QStringList({"Log File 6-Dec-26", "14.05.09  START", "09.07.03  START",
                                       "09.07.03  Events Open"}));
}

TEST_F(LogTest, StartAfterEndBeginsAFreshFile) {
    WriteLog(QStringLiteral("START"));
    WriteLog(QStringLiteral("first run"));
    WriteLog(QStringLiteral("END"));
    EXPECT_EQ(LogState(), ' ');
    WriteLog(QStringLiteral("after the end"));
    EXPECT_EQ(logLines(), QStringList({"Log File 6-Dec-26", "14.05.09  START",
                                       "14.05.09  first run", "14.05.09  END"}));

    setNow(QDateTime(QDate(2027, 1, 23), QTime(0, 0, 59)));
    WriteLog(QStringLiteral("START"));
    EXPECT_EQ(logLines(), QStringList({"Log File 23-Jan-27", "00.00.59  START"}));
}

TEST_F(LogTest, ExistingLogOfAnotherCaseIsReused) {
    WriteFileBytes(path("LOG.TXT"), "old run\r\n");
    WriteLog(QStringLiteral("START"));
    EXPECT_FALSE(QFile::exists(logPath()));
    EXPECT_EQ(ReadFileBytes(path("LOG.TXT")),
              QByteArray("Log File 6-Dec-26\r\n14.05.09  START\r\n"));
}

TEST_F(LogTest, LineOutsideTheCodePageTurnsTheFileIntoUtf8) {
    WriteLog(QStringLiteral("START"));
    WriteLog(QStringLiteral("café"));
    EXPECT_TRUE(ReadFileBytes(logPath()).contains("caf\xE9\r\n"));

    WriteLog(QStringLiteral("Ω and café"));
    WriteLog(QStringLiteral("plain"));
    const QByteArray bytes = ReadFileBytes(logPath());
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(bytes.mid(3)),
              QStringLiteral("Log File 6-Dec-26\r\n14.05.09  START\r\n14.05.09  café\r\n"
                             "14.05.09  Ω and café\r\n14.05.09  plain\r\n"));
}

TEST_F(LogTest, UnwritableFolderIsReportedOnce) {
    // A folder below a plain file can never be created, whoever runs the test.
    WriteFileBytes(path("plain"), "x");
    DataFolder = path("plain/sub/");
    WriteLog(QStringLiteral("START"));
    EXPECT_EQ(LogState(), 'N');
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_TRUE(answerer->boxes[0].text.endsWith(
        QStringLiteral("\nCannot create file Log.Txt in private folder ") + DataFolder));

    WriteLog(QStringLiteral("next"));
    WriteLog(QStringLiteral("START"));
    WriteLog(QStringLiteral("END"));
    WriteLog(QStringLiteral("START"));
    EXPECT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(LogState(), 'N');
}

TEST_F(LogTest, FailedWriteIsReportedOnceWithoutLogging) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), logPath()));
    WriteLog(QStringLiteral("START"));
    WriteLog(QStringLiteral("more"));
    WriteLog(QStringLiteral("END"));
    EXPECT_EQ(LogState(), 'N');
    ASSERT_EQ(answerer->boxes.size(), 1);
    // ENOSPC is what a write to /dev/full gives.
    EXPECT_EQ(answerer->boxes[0].text,
              QStringLiteral("Error 28 on write to ") + DataFolder + "Log.txt");
}

} // namespace
