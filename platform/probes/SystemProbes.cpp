#include "platform/probes/SystemProbes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

SystemProbes *installed = nullptr;

QString readLine(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readLine(256)).trimmed();
}

// A whole number from a sysfs file, or -1 when it is missing or not one.
qint64 readNumber(const QString &path) {
    bool ok = false;
    const qint64 v = readLine(path).toLongLong(&ok);
    return ok ? v : -1;
}

// Hours of charge left from an amount and a rate, in seconds; -1 when
// either is missing or zero.
int lifeFrom(qint64 amount, qint64 rate) {
    rate = std::abs(rate);
    if (amount <= 0 || rate <= 0) return -1;
    return int(amount * 3600 / rate);
}

} // namespace

LinuxProbes::LinuxProbes(const QString &sysRoot) : root(sysRoot) {}

bool LinuxProbes::isUsbDrive(const QString &folder, QString *mountPoint) {
    const QStorageInfo storage(folder);
    if (mountPoint) *mountPoint = storage.rootPath();
    if (!storage.isValid()) return false;
    return IsUsbBlockDevice(QString::fromLocal8Bit(storage.device()), root);
}

PowerStatus LinuxProbes::powerStatus() {
    return ReadPowerSupply(root + QStringLiteral("/class/power_supply"));
}

QString LinuxProbes::defaultLanguageName() {
    return LanguageNameOf(QLocale::system());
}

SystemProbes &Probes() {
    static LinuxProbes systemProbes;
    return installed ? *installed : systemProbes;
}

void SetProbes(SystemProbes *probes) {
    installed = probes;
}

bool IsUsbDrive(const QString &folder, QString *mountPoint) {
    return Probes().isUsbDrive(folder, mountPoint);
}

bool IsUsbBlockDevice(const QString &device, const QString &sysRoot) {
    if (device.isEmpty()) return false;
    // /dev/disk/by-label/... and the like are links to the device itself.
    const QString real = QFileInfo(device).canonicalFilePath();
    const QString name = QFileInfo(real.isEmpty() ? device : real).fileName();
    if (name.isEmpty()) return false;
    const QString base = QFileInfo(sysRoot).canonicalFilePath();
    const QString target =
        QFileInfo(sysRoot + QStringLiteral("/class/block/") + name).canonicalFilePath();
    if (base.isEmpty() || target.isEmpty()) return false;
    return target.mid(base.size()).contains(QLatin1String("/usb"));
}

PowerStatus ReadPowerSupply(const QString &powerSupplyRoot) {
    PowerStatus s;
    bool mainsOnline = false;
    const QDir dir(powerSupplyRoot);
    for (const QString &name :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        const QString p = dir.filePath(name) + '/';
        const QString type = readLine(p + QStringLiteral("type"));
        if (type == QLatin1String("Battery")) {
            // A mouse's or a headset's battery says nothing of the machine's.
            if (readLine(p + QStringLiteral("scope")) == QLatin1String("Device") || s.hasBattery)
                continue;
            s.hasBattery = true;
            qint64 percent = readNumber(p + QStringLiteral("capacity"));
            if (percent < 0) {
                const qint64 now = readNumber(p + QStringLiteral("energy_now")),
                             full = readNumber(p + QStringLiteral("energy_full"));
                const qint64 cnow = readNumber(p + QStringLiteral("charge_now")),
                             cfull = readNumber(p + QStringLiteral("charge_full"));
                percent = now >= 0 && full > 0     ? now * 100 / full
                          : cnow >= 0 && cfull > 0 ? cnow * 100 / cfull
                                                   : 0;
            }
            s.percent = int(percent);
            s.lifeSeconds = lifeFrom(readNumber(p + QStringLiteral("energy_now")),
                                     readNumber(p + QStringLiteral("power_now")));
            if (s.lifeSeconds < 0)
                s.lifeSeconds = lifeFrom(readNumber(p + QStringLiteral("charge_now")),
                                         readNumber(p + QStringLiteral("current_now")));
        } else if (type == QLatin1String("Mains") || type.startsWith(QLatin1String("USB"))) {
            if (readNumber(p + QStringLiteral("online")) == 1) mainsOnline = true;
        }
    }
    s.onMains = mainsOnline || !s.hasBattery;
    // On mains the rate is the charging rate: no time left to tell.
    if (s.onMains) s.lifeSeconds = -1;
    return s;
}

QString LanguageNameOf(const QLocale &locale) {
    if (locale.language() == QLocale::C) return QStringLiteral("English");
    return QLocale::languageToString(locale.language());
}
