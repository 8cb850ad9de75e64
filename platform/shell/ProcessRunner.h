#pragma once
// Starts other programs: one that the program waits for, or one left to run
// on its own. Replaceable, so that tests choose what a start gives.

#include <QString>
#include <QStringList>

struct ProcessOutcome {
    bool started = false;
    int exitCode = 0; // a crash counts as -1
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Starts the program and waits without limit for it to end.
    virtual ProcessOutcome run(const QString &program, const QStringList &arguments) = 0;
    // Starts the program and returns at once; false when it could not start.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};

// The runner in use: the one installed, else QtProcessRunner.
ProcessRunner &CurrentProcessRunner();
// Installs a runner (not owned); null restores the default.
void SetProcessRunner(ProcessRunner *runner);

// The default over QProcess. While it waits, the program's windows are
// disabled under a busy cursor and events still run, so the desktop never
// takes the program for frozen and nothing else can be clicked meanwhile.
class QtProcessRunner : public ProcessRunner {
public:
    ProcessOutcome run(const QString &program, const QStringList &arguments) override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
};
