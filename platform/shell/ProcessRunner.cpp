#include "platform/shell/ProcessRunner.h"

#include <QApplication>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QWidget>

namespace {

ProcessRunner *g_runner = nullptr;

// Disables the visible windows and shows the busy cursor while it lives.
class BusyWait {
public:
    BusyWait() {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->isEnabled()) {
                w->setEnabled(false);
                disabled.append(w);
            }
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursor = true;
    }
    ~BusyWait() {
        for (const QPointer<QWidget> &w : disabled)
            if (w) w->setEnabled(true);
        if (cursor) QApplication::restoreOverrideCursor();
    }
    BusyWait(const BusyWait &) = delete;
    BusyWait &operator=(const BusyWait &) = delete;

private:
    QList<QPointer<QWidget>> disabled;
    bool cursor = false;
};

} // namespace

ProcessRunner &CurrentProcessRunner() {
    static QtProcessRunner qt;
    return g_runner ? *g_runner : qt;
}

void SetProcessRunner(ProcessRunner *runner) { g_runner = runner; }

ProcessOutcome QtProcessRunner::run(const QString &program, const QStringList &arguments) {
    ProcessOutcome outcome;
    if (program.isEmpty()) return outcome;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(-1)) return outcome;
    outcome.started = true;
    if (QCoreApplication::instance()) {
        BusyWait busy;
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        if (process.state() != QProcess::NotRunning) loop.exec();
    } else {
        process.waitForFinished(-1);
    }
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return outcome;
}

bool QtProcessRunner::startDetached(const QString &program, const QStringList &arguments) {
    return !program.isEmpty() && QProcess::startDetached(program, arguments);
}
