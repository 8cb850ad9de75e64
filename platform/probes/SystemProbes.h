#pragma once
// What start-up asks of the machine: whether the program runs from a USB
// drive, the power state and the default language. Behind one interface so
// that tests put in their own answers; the Linux answers read sysfs, whose
// root is a parameter so that tests can build a fake tree.

#include <QLocale>
#include <QString>

struct PowerStatus {
    bool onMains = true;
    bool hasBattery = false;
    int percent = 0;
    int lifeSeconds = -1; // -1 when unknown
};

class SystemProbes {
public:
    virtual ~SystemProbes() = default;
    // mountPoint receives the mount point of the folder's drive.
    virtual bool isUsbDrive(const QString &folder, QString *mountPoint) = 0;
    virtual PowerStatus powerStatus() = 0;
    virtual QString defaultLanguageName() = 0;
};

class LinuxProbes : public SystemProbes {
public:
    explicit LinuxProbes(const QString &sysRoot = QStringLiteral("/sys"));
    bool isUsbDrive(const QString &folder, QString *mountPoint) override;
    PowerStatus powerStatus() override;
    QString defaultLanguageName() override;

private:
    QString root;
};

// The probes in use: the Linux ones unless a test installed others.
SystemProbes &Probes();
// Installs probes (not owned); null restores the Linux ones.
void SetProbes(SystemProbes *probes);

bool IsUsbDrive(const QString &folder, QString *mountPoint = nullptr);

// A block device ("/dev/sdb1") sits on a USB bus: its entry under
// sysRoot/class/block leads to a path through a USB controller.
bool IsUsbBlockDevice(const QString &device, const QString &sysRoot);
// The power state from a power_supply folder (normally
// /sys/class/power_supply): on mains when a mains or USB supply is online or
// there is no battery; the remaining time only while running on the battery.
PowerStatus ReadPowerSupply(const QString &powerSupplyRoot);
// The language's English name; the C/POSIX locale counts as English.
QString LanguageNameOf(const QLocale &locale);
