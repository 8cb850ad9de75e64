#include "programme/text/HeadingRoles.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"

#include <QLocale>

namespace {

bool BeginsNoCase(const QString &text, const QString &prefix) {
    return text.size() >= prefix.size() && SameText(text.left(prefix.size()), prefix);
}

bool ContainsNoCase(const QString &text, const QString &part) { return PosNoCase(part, text) > 0; }

} // namespace

bool IsSessionHeading(const QString &text) {
    return !ContainsNoCase(text, QStringLiteral("Extras")) && !ContainsNoCase(text, QStringLiteral("Next time"))
        && !text.contains(QLatin1String("Interval")) && !text.contains(QLatin1String("Break"));
}

bool IsExtrasHeading(const QString &text) { return BeginsNoCase(text, QStringLiteral("Extras")); }

bool IsNextTimeHeading(const QString &text) { return BeginsNoCase(text, QStringLiteral("Next time")); }

PauseKind HeadingPause(const QString &text) {
    if (text.startsWith(QLatin1String("Interval"))) return PauseKind::Interval;
    if (text.startsWith(QLatin1String("Break"))) return PauseKind::Break;
    return PauseKind::None;
}

int HeadingWeekday(const QString &text) {
    // QLocale() rather than the system locale, so that a test can pin the names.
    const QLocale locale;
    for (int day = 1; day <= 7; ++day) {
        const QString name = locale.dayName(day, QLocale::LongFormat);
        if (!name.isEmpty() && text.startsWith(name)) return day;
    }
    return 0;
}

bool IsAverageLevelNote(const QString &noteText) { return noteText.startsWith(QLatin1String("Average Level")); }
bool IsInsertedNote(const QString &noteText) { return noteText == InsertedNote; }
bool IsEndInsertedNote(const QString &noteText) { return noteText == EndInsertedNote; }
bool IsLeaderNote(const QString &noteText) { return noteText.startsWith(QLatin1String("Leader")); }
bool IsPlusNote(const QString &noteText) { return noteText.startsWith(QLatin1Char('+')); }
bool IsMinusNote(const QString &noteText) { return noteText.startsWith(QLatin1Char('-')); }

bool ProgrammeForbidsCounting(const QString &progText, QChar sep) {
    return progText.size() >= 4 && progText[0] == sep && progText.mid(1, 3) == QLatin1String("N|-");
}
