#include "platform/shell/ProcessRunner.h"

#include "platform/shell/BusyWait.h"

#include <QApplication>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QWidget>

namespace {

ProcessRunner *g_runner = nullptr;

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
