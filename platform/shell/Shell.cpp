#include "platform/shell/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

class SystemRunner : public ProcessRunner {
public:
    bool run(const QString &program, const QStringList &arguments, int *exitCode) override {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(program, arguments);
        if (!p.waitForStarted(-1)) return false;
        p.waitForFinished(-1);
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return true;
    }
    bool startDetached(const QString &program, const QStringList &arguments, const QString &folder) override {
        return QProcess::startDetached(program, arguments, folder);
    }
};

class SystemOpener : public ShellOpener {
public:
    bool open(const QString &target) override {
        const bool address = target.startsWith(QLatin1String("http"), Qt::CaseSensitive) ||
                             target.startsWith(QLatin1String("mailto:"), Qt::CaseSensitive);
        return QDesktopServices::openUrl(address ? QUrl(target) : QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
    }
};

ProcessRunner *installedRunner = nullptr;
ShellOpener *installedOpener = nullptr;

} // namespace

void SetProcessRunner(ProcessRunner *runner) { installedRunner = runner; }

ProcessRunner &CurrentProcessRunner() {
    static SystemRunner system;
    return installedRunner ? *installedRunner : system;
}

void SetShellOpener(ShellOpener *opener) { installedOpener = opener; }

ShellOpener &CurrentShellOpener() {
    static SystemOpener system;
    return installedOpener ? *installedOpener : system;
}
