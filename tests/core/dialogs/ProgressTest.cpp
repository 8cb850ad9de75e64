#include "base/Log.h"
#include "core/dialogs/Progress.h"
#include "platform/print/LinePrinter.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <functional>

namespace {

// Records what a run asks of its window.
class FakeView : public ProgressView {
public:
    void startRun(const QString &caption, int width) override {
        this->caption = caption;
        this->width = width;
        lines.clear();
        errorLabel.clear();
        visible = false;
        printShown = false;
    }
    void setBoxWidth(int w) override { width = w; }
    void showBox() override { visible = true; }
    void appendLine(const QString &line) override {
        lines.append(line);
        labels.append(errorLabel);
        if (onAppend) onAppend(int(lines.size()));
    }
    int lineCount() const override { return int(lines.size()); }
    void setErrorLabel(const QString &text) override { errorLabel = text; }
    void showGauge(int) override {}
    void startClosing(bool scrollBar) override { verticalBar = scrollBar; }
    void showPrint() override { printShown = true; }
    void review() override {
        ++reviews;
        reportAtReview = QFile::exists(QDir::current().filePath(QStringLiteral("EReport.Txt")));
    }
    void endRun() override {
        caption.clear();
        visible = false;
        ++ends;
    }

    QString caption, errorLabel;
    QStringList lines, labels; // each line with the error label when it was added
    int width = 0, reviews = 0, ends = 0;
    bool visible = false, verticalBar = false, printShown = false, reportAtReview = false;
    std::function<void(int)> onAppend;
};

class RecordingPrinter : public LinePrinter {
public:
    void print(const PrintJob &job) override { jobs.append(job); }
    QList<PrintJob> jobs;
};

class ProgressTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        QDir::setCurrent(folder());
        SetProgressView(&view);
        SetLinePrinter(&printer);
        WriteLog(QStringLiteral("START"));
    }
    void TearDown() override {
        SetProgressView(nullptr);
        SetLinePrinter(nullptr);
        QuillaryTest::TearDown();
    }
    QString report() const { return QString::fromLatin1(ReadFileBytes(path(QStringLiteral("EReport.Txt")))); }
    bool reportExists() const { return QFile::exists(path(QStringLiteral("EReport.Txt"))); }
    // Log lines after "START", without their time prefix.
    QStringList logLines() const {
        QStringList out;
        const QString text = QString::fromLatin1(ReadFileBytes(path(QStringLiteral("Log.Txt"))));
        for (const QString &l : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(2))
            out.append(l.mid(10));
        return out;
    }
    FakeView view;
    RecordingPrinter printer;
};

} // namespace

TEST_F(ProgressTest, CleanRunEndsWithEndOfProcessingAndReview) {
    {
        TProgress run(QStringLiteral("Import"), true, false);
        EXPECT_FALSE(view.visible) << "not shown before the first line";
        run.AddLine(QStringLiteral("Reading file"));
        EXPECT_TRUE(view.visible);
        EXPECT_TRUE(reportExists()) << "the report is on disk while the run lasts";
        EXPECT_EQ(report(), QStringLiteral("Reading file\r\n"));
        run.Finish();
        EXPECT_EQ(view.lines, (QStringList{QStringLiteral("Reading file"), QStringLiteral("End of processing.")}));
        EXPECT_TRUE(view.errorLabel.isEmpty());
        EXPECT_EQ(view.reviews, 1);
        EXPECT_TRUE(view.reportAtReview);
        EXPECT_TRUE(view.printShown);
        run.Finish();
        EXPECT_EQ(view.reviews, 1) << "a second Finish does nothing";
    }
    EXPECT_EQ(view.ends, 1);
    EXPECT_TRUE(view.caption.isEmpty());
    EXPECT_FALSE(reportExists());
    EXPECT_EQ(Progress, nullptr);
    EXPECT_EQ(logLines(), (QStringList{QStringLiteral("Reading file"), QStringLiteral("End of processing.")}));
}

TEST_F(ProgressTest, ErrorsAreCountedShownLoggedAndWrittenOnce) {
    {
        TProgress run(QStringLiteral("Test"));
        run.AddLine(QStringLiteral("Rule A"));
        run.AddError(QStringLiteral("  => first"));
        EXPECT_EQ(view.errorLabel, QStringLiteral("Errors: 1"));
        run.AddError(QStringLiteral("  => second"));
        EXPECT_EQ(view.errorLabel, QStringLiteral("Errors: 2"));
        EXPECT_EQ(ProgressErrorCount, 2);
        EXPECT_EQ(report(), QStringLiteral("Rule A\r\n  => first\r\n  => second\r\n"));
        run.Finish();
        EXPECT_TRUE(view.errorLabel.isEmpty()) << "the label gives way to the closing line";
    }
    EXPECT_EQ(view.lines, (QStringList{QStringLiteral("Rule A"), QStringLiteral("  => first"),
                                       QStringLiteral("  => second"), QStringLiteral("*** ERRORS: 2")}));
    EXPECT_EQ(view.labels.mid(1, 2), (QStringList{QStringLiteral("Errors: 1"), QStringLiteral("Errors: 2")}));
    EXPECT_EQ(logLines(), (QStringList{QStringLiteral("Rule A"), QStringLiteral("  => first"),
                                              QStringLiteral("  => second"), QStringLiteral("*** ERRORS: 2")}));
    EXPECT_EQ(ProgressLineKind, ' ');
}

TEST_F(ProgressTest, CreateResetsCountsAndCancel) {
    {
        TProgress first(QStringLiteral("One"));
        first.AddError(QStringLiteral("bad"));
        CancelRun = true;
    }
    TProgress second(QStringLiteral("Two"), true, true);
    EXPECT_EQ(ProgressErrorCount, 0);
    EXPECT_FALSE(CancelRun);
    EXPECT_EQ(Progress, &second);
    EXPECT_EQ(view.width, 302) << "time stamps widen the box";
    ScaleQuarters = 5;
    second.SetWidth(400);
    EXPECT_EQ(view.width, 500);
}

TEST_F(ProgressTest, AddLineWithoutRunShowsMessage) {
    TProgress run(QStringLiteral("Import"));
    run.Finish();
    answerer->clear();
    run.AddLine(QStringLiteral("Late news"));
    run.AddError(QStringLiteral("Late error"));
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_EQ(answerer->boxes[0].kind, BoxKind::Message);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Late news")));
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Late error")));
    EXPECT_EQ(view.lines, QStringList{QStringLiteral("End of processing.")});
    EXPECT_EQ(ProgressErrorCount, 0);
    EXPECT_FALSE(reportExists());
}

TEST_F(ProgressTest, CancelDuringLongRunStopsAtNextTestWithOneFinish) {
    view.onAppend = [this](int count) {
        if (count == 500) {
            answerer->script(ResultYes);
            AskCancelRun();
            AskCancelRun(); // a second click once cancelled asks nothing
        }
    };
    int done = 0;
    {
        TProgress run(QStringLiteral("Long"));
        for (int i = 0; i < 1000; ++i) {
            if (CancelRun) break;
            run.AddLine(QStringLiteral("Record %1").arg(i));
            ++done;
        }
        EXPECT_EQ(done, 500);
        EXPECT_EQ(view.ends, 0) << "Cancel leaves finishing to the run's owner";
        run.Finish();
    }
    EXPECT_EQ(view.reviews, 1);
    EXPECT_EQ(view.ends, 1);
    EXPECT_EQ(view.lines.size(), 501);
    EXPECT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Cancel the run?"));
    EXPECT_FALSE(reportExists());
}

TEST_F(ProgressTest, FailureMidRunKeepsReportWithoutReview) {
    try {
        TProgress run(QStringLiteral("Import"));
        run.AddLine(QStringLiteral("Line 1"));
        run.AddLine(QStringLiteral("Line 2"));
        throw std::runtime_error("disk gone");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(view.reviews, 0);
    EXPECT_EQ(view.ends, 1);
    EXPECT_EQ(report(), QStringLiteral("Line 1\r\nLine 2\r\n"));
    EXPECT_EQ(Progress, nullptr);
}

TEST_F(ProgressTest, ReportReplacesOldOneWhateverItsCase) {
    WriteFileBytes(path(QStringLiteral("ereport.txt")), "old text\r\n");
    TProgress run(QStringLiteral("Import"));
    run.AddLine(QStringLiteral("new"));
    EXPECT_EQ(QString::fromLatin1(ReadFileBytes(path(QStringLiteral("ereport.txt")))), QStringLiteral("new\r\n"));
    run.Finish();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("ereport.txt"))));
}

TEST_F(ProgressTest, ReportKeepsCharactersOutsideTheCodePage) {
    TProgress run(QStringLiteral("Import"));
    run.AddLine(QStringLiteral("Café"));
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("EReport.Txt"))), QByteArray("Caf\xE9\r\n"));
    run.AddLine(QStringLiteral("Жига"));
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("EReport.Txt"))),
              QByteArray("\xEF\xBB\xBF") + QStringLiteral("Café\r\nЖига\r\n").toUtf8());
}

TEST_F(ProgressTest, PrinterReportGetsTheLinesAtTheEnd) {
    {
        TProgress run(QStringLiteral("Print run"), false, false);
        run.AddLine(QStringLiteral("one"));
        run.AddError(QStringLiteral("two"));
        EXPECT_TRUE(printer.jobs.isEmpty());
    }
    ASSERT_EQ(printer.jobs.size(), 1);
    EXPECT_EQ(printer.jobs[0].lines,
              (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("*** ERRORS: 1")}));
    EXPECT_FALSE(reportExists());
}
