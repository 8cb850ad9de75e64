#pragma once
// One long run (an import, an export, the programme test, a copy tool)
// reporting to the user: a growing list of lines, an error count, a gauge and
// a Cancel the run polls. Every line also goes to the log and to the run
// report "EReport.Txt" in the current folder, which is written and flushed
// line by line so that it survives a failure in the middle of the run, and is
// deleted when the run finishes normally.
//
// The logic talks to the window through ProgressView; the window TProgBox
// (core/dialogs/ProgBox.h) installs itself, tests install a fake.

#include <QFile>
#include <QString>
#include <QStringList>

// The window side of a run.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    // Readies the box for a new run while it stays hidden: the caption, an
    // empty list, the width, "Cancel" with the focus, Print hidden, the error
    // label empty, the scroll bars off.
    virtual void startRun(const QString &caption, int width) = 0;
    virtual void setBoxWidth(int width) = 0;
    // Shows the box when hidden.
    virtual void showBox() = 0;
    // Adds a line to the list, hides the gauge and repaints.
    virtual void appendLine(const QString &line) = 0;
    virtual int lineCount() const = 0;
    virtual void setErrorLabel(const QString &text) = 0;
    // Shows the gauge filled to the percentage.
    virtual void showGauge(int percent) = 0;
    // The run is ending: the button reads "OK"; the vertical scroll bar is
    // shown when asked.
    virtual void startClosing(bool verticalScrollBar) = 0;
    virtual void showPrint() = 0;
    // Keeps the box open modally until the user closes it.
    virtual void review() = 0;
    // Empties the caption and hides the box.
    virtual void endRun() = 0;
};

// Installs the view (not owned); null leaves runs without a window (their
// lines still reach the log and the report).
void SetProgressView(ProgressView *view);
ProgressView *CurrentProgressView();

class TProgress {
public:
    // Starts a run: the box is readied (not shown yet), the error count and
    // CancelRun are reset. toFile false prints the report when it closes.
    TProgress(const QString &caption, bool toFile = true, bool timeStamps = false);
    // Finishes the run when its owner has not done so; freed by a failure
    // (an exception on its way out) it ends the run without a review and
    // keeps the report on disk.
    ~TProgress();
    TProgress(const TProgress &) = delete;
    TProgress &operator=(const TProgress &) = delete;

    void AddLine(const QString &text);
    // A line counted as an error: shown, logged and written once.
    void AddError(const QString &text);
    void SetWidth(int n);
    void SetPercent(int n);
    // Ends the run: the closing line, the review of a list of more than one
    // line, the report deleted. A second call does nothing.
    void Finish();

    bool runOpen() const { return open; }
    const QString &caption() const { return runCaption; }

    const bool ToFile;
    const bool TimeStamps;

private:
    void writeReport(const QString &text);
    void openReport();
    void writeReportLine(const QString &text);
    void closeReport();
    void abandon();

    QString runCaption;
    bool open = true;
    bool reportOpen = false;
    bool reportUtf8 = false;
    QString reportPath;
    QFile report;
    QStringList printed; // the report's lines when it goes to the printer
};

// The run in progress, or null (owned by the command that runs it).
extern TProgress *Progress;
// Set when the user confirms Cancel; runs test it between records and stop.
extern bool CancelRun;
// Errors reported in the run.
extern int ProgressErrorCount;
// ' ' normally, 'O' while an ordinary line goes to the report, 'E' while an
// error line is shown: each line is written and logged once.
extern char ProgressLineKind;

// The report's file name, created in the current folder.
inline constexpr const char *ProgressReportName = "EReport.Txt";

// The Cancel button or the close box during a run: asks "Cancel the run?"
// and sets CancelRun on Yes. The run's owner then finishes the run.
void AskCancelRun();
