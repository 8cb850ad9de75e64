#include "core/startup/StartupRules.h"

#include "base/Cp1252.h"
#include "core/startup/Settings.h"
#include "platform/probes/SystemProbes.h"

#include <QLocale>

namespace {

struct VersionPart {
    qint64 number = 0;
    QString rest;
};

VersionPart versionPart(const QStringList &parts, int i) {
    VersionPart p;
    if (i >= parts.size()) return p;
    const QString &s = parts[i];
    qsizetype n = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9' && p.number < 100000000000LL)
        p.number = p.number * 10 + (s[n++].unicode() - '0');
    p.rest = s.mid(n);
    return p;
}

} // namespace

int CompareVersions(const QString &a, const QString &b) {
    const QStringList pa = a.trimmed().split('.'), pb = b.trimmed().split('.');
    const int n = int(std::max(pa.size(), pb.size()));
    for (int i = 0; i < n; ++i) {
        const VersionPart x = versionPart(pa, i), y = versionPart(pb, i);
        if (x.number != y.number) return x.number < y.number ? -1 : 1;
        const int t = CompareText(x.rest, y.rest);
        if (t != 0) return t < 0 ? -1 : 1;
    }
    return 0;
}

VersionCheck CheckVersion(const QString &programVersion, const QString &storedVersion,
                          const QString &programFileName) {
    VersionCheck c;
    if (CompareVersions(programVersion, storedVersion) <= 0) return c;
    c.record = true;
    c.showWhatsNew = !storedVersion.isEmpty() &&
                     !programFileName.toLower().contains(QLatin1String("oldquillary"));
    return c;
}

bool EventIsOver(const QDate &today, const QDate &eventDate, const QString &programme,
                 const QString &eventText, const QString &weekdayName, QChar separator) {
    if (!today.isValid() || !eventDate.isValid()) return false;
    const qint64 d = eventDate.daysTo(today);
    if (d <= 0) return false;
    if (d > 7) return true;
    if (programme.contains(QString(separator) + QStringLiteral("O|") + weekdayName)) return false;
    const QString name = FoldUpper(eventText);
    if (name.contains(QLatin1String("WEEK")) && !name.contains(QLatin1String("WEEKEND")))
        return false;
    return true;
}

QString WeekdayName(const QDate &day) {
    return QLocale().dayName(day.dayOfWeek(), QLocale::LongFormat);
}

bool WithinReminderSpan(const QDate &today, const QDate &eventDate) {
    return eventDate.isValid() && today.isValid() && std::abs(eventDate.daysTo(today)) < 31;
}

bool LeaderNoteFirst(const QString &programme) {
    return programme.mid(1, 8) == QLatin1String("N|Leader");
}

QString EventReminder(const ReminderEvent &e, QChar separator, const QString &eventDateText,
                      const QString &shortDateText) {
    const QString sep(separator);
    if (e.updated.isEmpty() && !LeaderNoteFirst(e.programme) &&
        !e.event.startsWith(QLatin1String("Callers"))) {
        QString word;
        if (!e.programme.contains(sep + QStringLiteral("D|")))
            word = QStringLiteral("No");
        else if (e.programme.contains(sep + QStringLiteral("D||")))
            word = QStringLiteral("Incomplete");
        if (!word.isEmpty()) {
            QString text = word + QStringLiteral(" programme for ") + e.event +
                           QStringLiteral("\ron ") + eventDateText;
            if (e.org != e.event) text += QStringLiteral(" for ") + e.org;
            return text;
        }
    }
    if (e.acknowledged != QLatin1String("Y") &&
        !FoldUpper(e.band).startsWith(QLatin1String("RECORD")))
        return e.event + QStringLiteral(" on ") + shortDateText + QStringLiteral(" for ") + e.org +
               QStringLiteral(" not yet acknowledged by band.");
    return {};
}

int LocationColumnOf(const QStringList &recordedLines) {
    int found = -1;
    for (int i = 0; i < recordedLines.size(); ++i)
        if (recordedLines[i].startsWith(QLatin1String("Location="))) found = i;
    return found;
}

int FindLocationColumn() {
    LocationColumn =
        IniFile ? LocationColumnOf(IniFile->ReadSectionValues(QStringLiteral("Recorded"))) : -1;
    return LocationColumn;
}

bool CompactionDue(qint64 size, qint64 recordedSize, bool nonStandard) {
    if (nonStandard) return false;
    return size * 10 > recordedSize * 12;
}

QString ChooseSpecialFont(const QStringList &installedFamilies) {
    static const char *const fonts[] = {"Bordeaux Black", "Broadway", "Brittanic Bold"};
    for (const char *f : fonts)
        for (const QString &family : installedFamilies)
            if (SameText(family, QLatin1String(f))) return QLatin1String(f);
    return QStringLiteral("Brittanic Bold");
}

QString PowerStatusText(const PowerStatus &s) {
    QString text =
        s.onMains ? QStringLiteral("On mains power.") : QStringLiteral("On battery power.");
    if (!s.hasBattery) return text;
    if (s.lifeSeconds < 0) return text + QStringLiteral("\rBattery is %1% full.").arg(s.percent);
    const int hours = s.lifeSeconds / 3600;
    const int minutes = s.lifeSeconds % 3600 / 60;
    return QStringLiteral("Battery power left: %1 %2, %3 minutes  (%4%).")
        .arg(hours)
        .arg(hours == 1 ? QStringLiteral("hour") : QStringLiteral("hours"))
        .arg(minutes)
        .arg(s.percent);
}

bool PowerMessageWanted(bool fromMenu, const PowerStatus &status) {
    return fromMenu || !status.onMains;
}

QString LanguageWarning(const QString &languageName) {
    if (languageName.startsWith(QLatin1String("English"))) return {};
    return QStringLiteral("Language is set to\r") + languageName +
           QStringLiteral("\rrather than English.");
}

QString MakerSite() {
    QString site = qEnvironmentVariable("QUILLARY_SITE");
    if (site.isEmpty()) site = WebsiteAddress;
    while (site.endsWith(QChar('/'))) site.chop(1);
    return site;
}
