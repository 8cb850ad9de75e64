#include "core/dialogs/Progress.h"

#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "platform/print/LinePrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <exception>
#include <stdexcept>

TProgress *Progress = nullptr;
bool CancelRun = false;
int ProgressErrorCount = 0;
char ProgressLineKind = ' ';

namespace {

ProgressView *g_view = nullptr;

void processPending() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

} // namespace

void SetProgressView(ProgressView *view) { g_view = view; }
ProgressView *CurrentProgressView() { return g_view; }

TProgress::TProgress(const QString &caption, bool toFile, bool timeStamps)
    : ToFile(toFile), TimeStamps(timeStamps), runCaption(caption) {
    ProgressErrorCount = 0;
    ProgressLineKind = ' ';
    CancelRun = false;
    Progress = this;
    if (g_view) g_view->startRun(caption, ScaledSize(timeStamps ? 302 : 250));
}

TProgress::~TProgress() {
    try {
        // Freed by a failure in the middle of the run: no review, and the
        // report stays on disk for the user.
        if (std::uncaught_exceptions() > 0) abandon();
        else Finish();
    } catch (...) {
        // Finishing must not take the program down from a destructor.
    }
    if (Progress == this) Progress = nullptr;
}

void TProgress::AddLine(const QString &text) {
    if (!open) {
        ShowMsg(text);
        return;
    }
    if (g_view) {
        g_view->showBox();
        const QString line =
            TimeStamps ? QLocale::system().toString(Now().time(), QLocale::ShortFormat) + QStringLiteral("  ") + text
                       : text;
        g_view->appendLine(line);
    }
    if (ProgressLineKind != 'E') {
        ProgressLineKind = 'O';
        try {
            writeReport(text);
        } catch (...) {
            ProgressLineKind = ' ';
            throw;
        }
        ProgressLineKind = ' ';
    } else {
        WriteLog(text);
    }
    processPending();
}

void TProgress::AddError(const QString &text) {
    ProgressLineKind = ' ';
    writeReport(text);
}

void TProgress::SetWidth(int n) {
    if (g_view) g_view->setBoxWidth(ScaledSize(n));
}

void TProgress::SetPercent(int n) {
    if (g_view && open) g_view->showGauge(qBound(0, n, 100));
    processPending();
}

void TProgress::writeReport(const QString &text) {
    if (!open) {
        ShowMsg(text);
        return;
    }
    if (!reportOpen) openReport();
    if (ProgressLineKind == 'O') {
        WriteLog(text);
    } else {
        ++ProgressErrorCount;
        if (g_view) g_view->setErrorLabel(QStringLiteral("Errors: %1").arg(ProgressErrorCount));
        ProgressLineKind = 'E';
        try {
            AddLine(text);
        } catch (...) {
            ProgressLineKind = ' ';
            throw;
        }
        ProgressLineKind = ' ';
    }
    writeReportLine(text);
}

void TProgress::openReport() {
    if (ToFile) {
        reportPath = FindFileNoCase(QDir::currentPath() + '/', QLatin1String(ProgressReportName));
        report.setFileName(reportPath);
        if (!report.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw std::runtime_error(QStringLiteral("Cannot create the run report %1:\r%2")
                                         .arg(QDir::toNativeSeparators(reportPath), report.errorString())
                                         .toStdString());
        reportUtf8 = false;
    } else {
        printed.clear();
    }
    reportOpen = true;
    if (g_view) g_view->showBox();
}

void TProgress::writeReportLine(const QString &text) {
    if (!ToFile) {
        printed.append(text);
        return;
    }
    const QString line = text + QStringLiteral("\r\n");
    if (!reportUtf8 && !Cp1252::fits(line)) {
        // The lines so far were single-byte: rewrite them as UTF-8 with a BOM
        // so that this line loses nothing.
        report.close();
        QFile in(reportPath);
        QByteArray bytes("\xEF\xBB\xBF");
        if (in.open(QIODevice::ReadOnly)) bytes += Cp1252::decode(in.readAll()).toUtf8();
        in.close();
        if (!report.open(QIODevice::WriteOnly | QIODevice::Truncate) || report.write(bytes) != bytes.size())
            throw std::runtime_error(QStringLiteral("Cannot write the run report %1:\r%2")
                                         .arg(QDir::toNativeSeparators(reportPath), report.errorString())
                                         .toStdString());
        reportUtf8 = true;
    }
    const QByteArray bytes = reportUtf8 ? line.toUtf8() : Cp1252::encode(line);
    if (report.write(bytes) != bytes.size() || !report.flush())
        throw std::runtime_error(QStringLiteral("Cannot write the run report %1:\r%2")
                                     .arg(QDir::toNativeSeparators(reportPath), report.errorString())
                                     .toStdString());
}

void TProgress::closeReport() {
    if (!reportOpen) return;
    reportOpen = false;
    if (ToFile) {
        report.close();
    } else {
        PrintJob job;
        job.title = runCaption;
        job.lines = printed;
        printed.clear();
        CurrentLinePrinter().print(job);
    }
}

void TProgress::Finish() {
    if (!open) return;
    const int lines = g_view ? g_view->lineCount() : 0;
    if (g_view) g_view->startClosing(lines >= 30);
    QString closing;
    if (ProgressErrorCount > 0) {
        if (g_view) g_view->setErrorLabel(QString());
        closing = QStringLiteral("*** ERRORS: %1").arg(ProgressErrorCount);
    } else {
        closing = QStringLiteral("End of processing.");
    }
    try {
        AddLine(closing);
        closeReport();
        if (g_view) {
            g_view->showPrint();
            if (g_view->lineCount() > 1) g_view->review();
        }
    } catch (...) {
        abandon();
        throw;
    }
    open = false;
    if (g_view) g_view->endRun();
    if (ToFile && !reportPath.isEmpty()) QFile::remove(reportPath);
}

void TProgress::abandon() {
    if (!open) return;
    open = false;
    if (reportOpen) {
        reportOpen = false;
        report.close();
        printed.clear();
    }
    if (g_view) g_view->endRun();
    if (!reportPath.isEmpty())
        WriteLog(QStringLiteral("Run \"%1\" ended by a failure; its report stays in %2")
                     .arg(runCaption, QDir::toNativeSeparators(reportPath)));
}

void AskCancelRun() {
    if (CancelRun) return;
    if (YesNo(QStringLiteral("Cancel the run?"))) CancelRun = true;
}
