#pragma once
// What the copy between machines asks of the machine: where the volume with
// a label is mounted, and whether a program runs. Behind one interface so
// that tests give their own answers.

#include <QString>

class MachineProbes {
public:
    virtual ~MachineProbes() = default;
    // The mount point of the mounted volume labelled so (letter case
    // ignored), ending with "/"; "" when none is mounted.
    virtual QString volumeWithLabel(const QString &label) = 0;
    // Whether a process of that program name runs (letter case ignored).
    virtual bool programRunning(const QString &name) = 0;
};

// The Linux answers: the mounted volumes' names, and /proc/<pid>/comm under
// procRoot.
class LinuxMachineProbes : public MachineProbes {
public:
    explicit LinuxMachineProbes(const QString &procRoot = QStringLiteral("/proc"));
    QString volumeWithLabel(const QString &label) override;
    bool programRunning(const QString &name) override;

private:
    QString root;
};

MachineProbes &CurrentMachineProbes();
// Installs probes (not owned); null restores the Linux ones.
void SetMachineProbes(MachineProbes *probes);
