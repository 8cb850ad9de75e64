#pragma once
// What the program hands to other programs: processes it runs (and waits
// for) or starts, and documents it opens with their associated program.
// Tests install their own, so no test starts a program or opens a browser.

#include <QString>
#include <QStringList>

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Runs a program and waits for it; false when it could not be started.
    virtual bool run(const QString &program, const QStringList &arguments, int *exitCode) = 0;
    // Starts a program in a folder without waiting; false when it could not.
    virtual bool startDetached(const QString &program, const QStringList &arguments, const QString &folder) = 0;
};

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Opens a file, web address or mail link with its associated program.
    virtual bool open(const QString &target) = 0;
};

// Installs a runner or opener (not owned); null restores the system's.
void SetProcessRunner(ProcessRunner *runner);
ProcessRunner &CurrentProcessRunner();
void SetShellOpener(ShellOpener *opener);
ShellOpener &CurrentShellOpener();
