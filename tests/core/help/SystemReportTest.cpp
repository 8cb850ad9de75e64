// The system report: its lines, the log going on after it, view, print and e-mail.

#include "TestSupport.h"

#include "base/Log.h"
#include "core/help/SystemReport.h"
#include "core/startup/Settings.h"
#include "platform/print/LinePrinter.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>

namespace {

TEST(ReportLines, ListsEverySourceInOrder) {
    ReportSources s{"6.103", "/opt/q/", "/home/q/", "Debian 12 (kernel 6.1)", "dd/MM/yyyy", "/home/q/Quillary.ini",
                    "[System]\r\nVersion=6.103\r\n", "Select * from Dances\r\nwhere x=1",
                    "Log File 6-Dec-26\r\n14.05.10  END\r\n"};
    const QStringList lines = {"Quillary - System Report", "", "Version:            6.103",
                               "Program folder:     /opt/q/", "Private folder:     /home/q/",
                               "Operating System:   Debian 12 (kernel 6.1)", "Short Date format:  dd/MM/yyyy", "",
                               "CONTENTS OF /home/q/Quillary.ini", "", "[System]", "Version=6.103", "",
                               "LATEST SQL", "Select * from Dances", "where x=1", "", "LOG FILE",
                               "Log File 6-Dec-26", "14.05.10  END"};
    EXPECT_EQ(ReportLines(s), lines);
    s.lastSql.clear();
    EXPECT_EQ(ReportLines(s), lines.mid(0, 12) + lines.mid(16));
}

class SystemReportTest : public QuillaryTest, public LinePrinter {
protected:
    void print(const PrintJob &job) override { jobs << job; }
    QList<PrintJob> jobs;
};

TEST_F(SystemReportTest, ViewPrintAndEmailWhileTheLogGoesOn) {
    WriteFileBytes(path("Quillary.ini"), "[System]\r\nVersion=6.103\r\n");
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    TempFolder = path("tmp/");
    QDir().mkpath(TempFolder);
    SetLinePrinter(this);
    RecordingOpener opener;
    WriteLog("START");
    WriteLog("before the report");

    answerer->script(ResultCancel); // View (or closing the box)
    SystemReportCommand();
    ASSERT_EQ(opener.opened, QStringList{QUrl::fromLocalFile(TempFolder + "Log.Txt").toString()});
    const QString viewed = QString::fromLatin1(ReadFileBytes(TempFolder + "Log.Txt"));
    EXPECT_TRUE(viewed.contains("Version=6.103\r\n") && viewed.contains("before the report"));
    WriteLog("after the report");
    const QString log = QString::fromLatin1(ReadFileBytes(path("Log.Txt")));
    EXPECT_TRUE(log.contains("END\r\n") && log.endsWith("after the report\r\n"));
    EXPECT_EQ(log.count("Log File"), 1);

    answerer->script(ResultYes); // Print
    SystemReportCommand();
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].fontFamily, QFontDatabase::systemFont(QFontDatabase::FixedFont).family());

    answerer->script(ResultNo); // Email
    answerer->script(ResultYes);
    SystemReportCommand();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("Quillary - System Report\r\n"));
    EXPECT_EQ(opener.opened.value(1), "mailto:support@vellamorrisk.com?subject=Quillary%3A%20Error%20Report");
    EXPECT_EQ(answerer->boxes.last().helpContext, 180);
    SetLinePrinter(nullptr);
}

} // namespace
