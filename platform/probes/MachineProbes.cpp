#include "platform/probes/MachineProbes.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

namespace {
MachineProbes *g_installed = nullptr;
}

LinuxMachineProbes::LinuxMachineProbes(const QString &procRoot) : root(procRoot) {}

QString LinuxMachineProbes::volumeWithLabel(const QString &label) {
    if (label.isEmpty()) return QString();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && volume.name().compare(label, Qt::CaseInsensitive) == 0) {
            QString path = volume.rootPath();
            if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
            return path;
        }
    }
    return QString();
}

bool LinuxMachineProbes::programRunning(const QString &name) {
    const QStringList pids = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool number = false;
        pid.toLongLong(&number);
        if (!number) continue;
        QFile comm(root + QLatin1Char('/') + pid + QStringLiteral("/comm"));
        if (!comm.open(QIODevice::ReadOnly)) continue;
        if (QString::fromLocal8Bit(comm.readAll()).trimmed().compare(name, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

MachineProbes &CurrentMachineProbes() {
    static LinuxMachineProbes own;
    return g_installed ? *g_installed : own;
}

void SetMachineProbes(MachineProbes *probes) { g_installed = probes; }
