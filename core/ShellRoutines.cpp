#include "core/ShellRoutines.h"

#include "core/Messages.h"
#include "core/Settings.h"
#include "platform/shell/Shell.h"

#include <QFileInfo>
#include <QProcess>
#include <stdexcept>

void RunCommand(const QString &commandLine, const std::function<void()> &afterRun) {
    ProcessRunner &runner = CurrentProcessRunner();
    int exitCode = 0;
    const QStringList parts = QProcess::splitCommand(commandLine);
    bool started = !parts.isEmpty() && runner.run(parts.first(), parts.mid(1), &exitCode);
    if (!started && !commandLine.trimmed().isEmpty())
        started = runner.run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine}, &exitCode);
    if (!started) throw std::runtime_error((QStringLiteral("Unable to run \r") + commandLine).toStdString());
    if (exitCode != 0) ShowMsg(QStringLiteral("Error calling external routine"));
    if (afterRun) afterRun();
}

void OpenDocument(const QString &target) {
    const bool address = target.startsWith(QLatin1String("http"), Qt::CaseSensitive) ||
                         target.startsWith(QLatin1String("mailto:"), Qt::CaseSensitive);
    if (!address && !QFileInfo::exists(target)) AbortMsg(QStringLiteral("File not found:\r") + target);
    if (!CurrentShellOpener().open(target)) ShowMsg(QStringLiteral("Error - could not open ") + target);
}

void OpenWithEditor(const QString &fileName) {
    const QString editor = SettingText(QStringLiteral("User"), QStringLiteral("Editor"));
    if (editor.isEmpty()) return OpenDocument(fileName);
    if (!CurrentProcessRunner().startDetached(editor, {fileName}, QString()))
        ShowMsg(QStringLiteral("Unable to run \r") + editor);
}
