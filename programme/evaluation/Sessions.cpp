#include "programme/evaluation/Sessions.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/FastStrings.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "programme/text/HeadingRoles.h"
#include "programme/text/ProgrammeText.h"

#include <QHash>
#include <algorithm>

bool SplitFirstWord(const QString &title, QString &word) {
    const qsizetype blank = title.indexOf(QLatin1Char(' '));
    if (blank < 0) return false;
    word = title.left(blank);
    if (word.endsWith(QLatin1Char(':'))) word.chop(1);
    return true;
}

QString DropFirstWord(const QString &title) {
    const qsizetype blank = title.indexOf(QLatin1Char(' '));
    return TrimPunct(blank < 0 ? QString() : title.mid(blank + 1));
}

QList<SessionEvent> ReadSessionEvents(Database &db, const std::function<void(int, int)> &perEvent) {
    int count = 0;
    {
        Statement c(db.handle(), QStringLiteral("SELECT count(*) FROM Events"));
        if (c.step()) count = c.column(0).toInt();
    }
    QList<SessionEvent> events;
    events.reserve(count);
    Statement s(db.handle(), QStringLiteral("SELECT Org, EDate, Programme FROM Events ORDER BY EDate, rowid"));
    while (s.step()) {
        const QVariant day = s.column(1);
        events.append({s.columnText(0), day.isNull() ? 0.0 : day.toDouble(), s.columnText(2)});
        if (perEvent) perEvent(int(events.size()), count);
    }
    return events;
}

bool IsSessionsEvent(const SessionEvent &ev) {
    return ev.Org == SessionsOrg && ev.EDate == NoDate;
}

namespace {

bool StartsNoCase(const QString &text, const QString &start) {
    return SameText(text.left(start.size()), start);
}

QString DropLeading(const QString &h, const QString &start) {
    return h.startsWith(start) ? h.mid(start.size()) : h;
}

QString CutBefore(const QString &h, QChar c) {
    const qsizetype at = h.indexOf(c);
    return at < 0 ? h : h.left(at);
}

QString ChopEnd(const QString &h, const QString &ending, int count) {
    return h.endsWith(ending) ? h.left(std::max<qsizetype>(0, h.size() - count)) : h;
}

} // namespace

QString SessionTitle(const QString &heading, const QStringList &dayNames, bool leaderProgramme) {
    QString h = heading;
    // 1. Bracketed parts.
    for (qsizetype open = h.indexOf(QLatin1Char('(')); open >= 0; open = h.indexOf(QLatin1Char('('), open)) {
        const qsizetype close = h.indexOf(QLatin1Char(')'), open);
        if (close < 0) break;
        h.remove(open, close - open + 1);
    }
    // 2.-4. Times, day names, "Evening", a leading "Dance ".
    h = FindTime(h, true);
    for (const QString &day : dayNames)
        h = FastReplaceStr(h, day, QString());
    h = TrimPunct(FastReplaceStr(h, QStringLiteral("Evening"), QString()));
    if (StartsNoCase(h, QStringLiteral("Dance "))) h = TrimPunct(h.mid(6));
    // 5.
    if (!IsSessionHeading(h) || leaderProgramme) return QString();
    // 6.
    QString word;
    if (SplitFirstWord(h, word) && (word == QLatin1String("Theme") || word == QLatin1String("Workshop")))
        h = DropFirstWord(h);
    // 7.
    h = CutBefore(CutBefore(CutBefore(h, QLatin1Char('+')), QLatin1Char(',')), QLatin1Char(':'));
    // 8.
    if (h.startsWith(QLatin1Char('!'))) h.clear();
    if (h.startsWith(QLatin1Char('"'))) {
        h.remove(0, 1);
        const qsizetype close = MustPos(QStringLiteral("\""), h);
        h.remove(close - 1, 1);
    }
    h = TrimPunct(h);
    // 9.
    h = DropLeading(h, QStringLiteral("Mainly "));
    if (h.endsWith(QLatin1String("orkshops"))) h = ChopEnd(h, QStringLiteral("orkshops"), 10);
    else if (h.endsWith(QLatin1String("orkshop"))) h = ChopEnd(h, QStringLiteral("orkshop"), 9);
    else h = ChopEnd(h, QStringLiteral("ances"), 7);
    // 10.
    h = DropLeading(DropLeading(h, QStringLiteral("A ")), QStringLiteral("An "));
    for (const char *start : {"Dances by ", "Dances of ", "Dances from "})
        h = DropLeading(h, QLatin1String(start));
    if (h.startsWith(QLatin1String("Dance:"))) h = h.mid(7);
    // 11.
    const qsizetype colon = h.indexOf(QLatin1Char(':'));
    if (colon >= 0 && colon < 3) h = h.mid(colon + 1);
    else if (colon >= 0) h = h.left(colon);
    // 12.
    static const QStringList none = {QStringLiteral("Introduction"), QStringLiteral("Coffee/Tea"),
                                     QStringLiteral("Tea"),          QStringLiteral("Coffee"),
                                     QStringLiteral("Lunch"),        QStringLiteral("Depart"),
                                     QStringLiteral("English")};
    const QString lower = h.toLower();
    if (none.contains(h) || lower.endsWith(QLatin1String("dance")) ||
        lower.endsWith(QLatin1String("ceilidh")) || lower.endsWith(QLatin1String("ball")) ||
        lower.contains(QLatin1String("party")))
        return QString();
    return h;
}

QString GatherSessions(const QList<SessionEvent> &events, const QString &text, QChar sep) {
    if (text.isEmpty()) return QString();
    const QString headingStart = QString(sep) + QStringLiteral("O|");
    QString gathered;
    for (const SessionEvent &ev : events) {
        // The last gathering is replaced, never gathered into the new one.
        if (IsSessionsEvent(ev)) continue;
        const QString &p = ev.Programme;
        qsizetype from = 0;  // 0-based
        while (from < p.size()) {
            const qsizetype hit = PosNoCase(text, p, from + 1) - 1;
            if (hit < 0) break;
            // The item holding the text: a heading, or passed over.
            const qsizetype itemStart = p.lastIndexOf(sep, hit) + 1;
            if (p.mid(itemStart, 2) != QLatin1String("O|")) {
                from = hit + 1;
                continue;
            }
            const qsizetype textStart = itemStart + 2;
            qsizetype end = textStart;
            for (;;) {
                const qsizetype next = p.indexOf(headingStart, end);
                if (next < 0) {
                    end = p.size();
                    break;
                }
                const QString following = p.mid(next + 3, 12);
                if (HeadingPause(following) == PauseKind::None && !IsExtrasHeading(following)) {
                    end = next;
                    break;
                }
                end = next + 3;
            }
            gathered += headingStart + ev.Org + QStringLiteral(" - ") + FormatEventDate(ev.EDate) +
                        QStringLiteral(": ") + p.mid(textStart, end - textStart);
            from = std::max(end, hit + 1);
        }
    }
    const QString doubled = QString(sep) + sep;
    while (gathered.contains(doubled))
        gathered.replace(doubled, QString(sep));
    return gathered;
}

QStringList SessionTitles(const QList<SessionEvent> &events, const QString &text, QChar sep,
                          const QStringList &dayNames) {
    const QString leader = QString(sep) + QStringLiteral("N|Leader");
    QHash<QString, QString> titles;  // folded -> as first found
    for (const SessionEvent &ev : events) {
        if (IsSessionsEvent(ev) || PosNoCase(text, ev.Programme) == 0) continue;
        if (ev.Programme.startsWith(leader)) continue;
        for (const ProgrammeItem &item : ReadProgramme(ev.Programme, sep).items) {
            if (!item.isHeading() || PosNoCase(text, item.text) == 0) continue;
            const QString title = SessionTitle(item.text, dayNames, false).trimmed();
            if (title.size() > 3 && !titles.contains(FoldUpper(title))) titles.insert(FoldUpper(title), title);
        }
    }
    QStringList out = titles.values();
    std::sort(out.begin(), out.end(), [](const QString &a, const QString &b) { return CompareText(a, b) < 0; });
    return out;
}

QString SessionListText(const QStringList &titles, const QString &text) {
    const QString first = text.isEmpty()
                              ? QStringLiteral("List of all session headings")
                              : QStringLiteral("List of session headings containing \"") + text + QLatin1Char('"');
    return first + QStringLiteral("\r\n\r\n") + titles.join(QStringLiteral("\r\n"));
}

QString SessionHeadingsText(const QList<ShownRow> &rows) {
    QString out = QStringLiteral("Session titles:\r\n\r\n");
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const ShownRow &row = rows[i];
        if (row.kind != ItemKind::Heading || !IsSessionHeading(row.text)) continue;
        QString heading = row.text;
        heading.replace(QStringLiteral(": !"), QStringLiteral(": "));
        out += heading + QStringLiteral("\r\n");
        if (i + 1 < rows.size()) {
            const ShownRow &next = rows[i + 1];
            if (next.kind == ItemKind::Note && !next.text.startsWith(QLatin1Char('!')) &&
                !next.text.contains(QLatin1String("Average Level")))
                out += next.text + QStringLiteral("\r\n");
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}
