// The system report: its lines, the log going on after it, and the three
// ways out (view, print, e-mail).

#include "TestSupport.h"

#include "base/Log.h"
#include "core/help/SystemReport.h"
#include "core/startup/Settings.h"
#include "platform/print/LinePrinter.h"
#include "platform/shell/DocumentOpener.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>

namespace {

ReportSources Sample(const QString &sql) {
    return {"6.103", "/opt/q/", "/home/u/q/", "Debian 12 (kernel 6.1)", "dd/MM/yyyy", "/home/u/q/Quillary.ini",
            "[System]\r\nVersion=6.103\r\n", sql, "Log File 6-Dec-26\r\n14.05.09  START\r\n14.05.10  END\r\n"};
}

TEST(ReportLines, ListsEverySourceInOrder) {
    const QStringList head = {"Quillary - System Report",
                              "",
                              "Version:            6.103",
                              "Program folder:     /opt/q/",
                              "Private folder:     /home/u/q/",
                              "Operating System:   Debian 12 (kernel 6.1)",
                              "Short Date format:  dd/MM/yyyy",
                              "",
                              "CONTENTS OF /home/u/q/Quillary.ini",
                              "",
                              "[System]",
                              "Version=6.103"};
    const QStringList log = {"", "LOG FILE", "Log File 6-Dec-26", "14.05.09  START", "14.05.10  END"};
    const struct {
        QString sql;
        QStringList middle;
    } table[] = {
        {"", {}},
        {"Select * from Dances\r\nwhere x=1", {"", "LATEST SQL", "Select * from Dances", "where x=1"}},
    };
    for (const auto &row : table)
        EXPECT_EQ(ReportLines(Sample(row.sql)), head + row.middle + log) << row.sql.toStdString();
}

class RecordingPrinter : public LinePrinter {
public:
    void print(const PrintJob &job) override { jobs << job; }
    QList<PrintJob> jobs;
};

class RecordingOpener : public DocumentOpener {
public:
    bool open(const QUrl &target) override {
        opened << target;
        return true;
    }
    QList<QUrl> opened;
};

class SystemReportTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        WriteFileBytes(path("Quillary.ini"), "[System]\r\nVersion=6.103\r\n");
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        TempFolder = path("tmp/");
        QDir().mkpath(TempFolder);
        SetLinePrinter(&printer);
        SetDocumentOpener(&opener);
        WriteLog("START");
        WriteLog("before the report");
    }
    void TearDown() override {
        SetLinePrinter(nullptr);
        SetDocumentOpener(nullptr);
        QuillaryTest::TearDown();
    }
    RecordingPrinter printer;
    RecordingOpener opener;
};

TEST_F(SystemReportTest, TheLogGoesOnAfterTheReport) {
    const ReportSources s = GatherReportSources();
    EXPECT_TRUE(s.log.contains("before the report"));
    EXPECT_TRUE(s.log.trimmed().endsWith("END"));
    EXPECT_TRUE(s.settingsText.contains("Version=6.103"));
    WriteLog("after the report");
    const QString log = QString::fromLatin1(ReadFileBytes(path("Log.Txt")));
    EXPECT_TRUE(log.contains("after the report"));
    EXPECT_EQ(log.count("Log File"), 1);
}

TEST_F(SystemReportTest, ViewPrintAndEmail) {
    answerer->script(ResultCancel); // View (or closing the box)
    SystemReportCommand();
    const QString viewed = TempFolder + "Log.Txt";
    ASSERT_EQ(opener.opened, QList<QUrl>{QUrl::fromLocalFile(viewed)});
    EXPECT_TRUE(QString::fromLatin1(ReadFileBytes(viewed)).contains("LOG FILE\r\n"));

    answerer->script(ResultYes); // Print
    SystemReportCommand();
    ASSERT_EQ(printer.jobs.size(), 1);
    EXPECT_EQ(printer.jobs[0].lines.value(0), "Quillary - System Report");
    EXPECT_EQ(printer.jobs[0].fontFamily, QFontDatabase::systemFont(QFontDatabase::FixedFont).family());

    answerer->script(ResultNo); // Email
    answerer->script(ResultYes);
    SystemReportCommand();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("Quillary - System Report\r\n"));
    EXPECT_EQ(opener.opened.value(1).toString(QUrl::FullyEncoded),
              "mailto:support@vellamorrisk.com?subject=Quillary%3A%20Error%20Report");
    EXPECT_EQ(answerer->boxes.last().helpContext, 180);
}

} // namespace
