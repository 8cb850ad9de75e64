#pragma once
// Sessions across the diary: the session title a heading stands for, the
// programme text of the pseudo event "Sessions" that gathers every session
// matching a text, the sorted list of session titles, and the session
// headings of one programme.

#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The title's first word without a trailing colon; false when the title has
// no blank.
bool SplitFirstWord(const QString &title, QString &word);
// The title without its first word and the blank after it, punctuation trimmed.
QString DropFirstWord(const QString &title);

// The session title of heading text h, or "" when it names none. dayNames:
// the seven long day names of the system's locale. leaderProgramme: the
// event's programme begins with separator + "N|Leader". A double quote
// without its closing one shows the MustPos message and throws SilentAbort.
QString SessionTitle(const QString &h, const QStringList &dayNames, bool leaderProgramme);

// One event as the session commands read it (EDate as a day number).
struct SessionEvent {
    QString Org;
    double EDate = 0;
    QString Programme;
};

class Database;
// Every event in EDate, then rowid order, in one statement; perEvent(n,
// count) is called after the n-th of count events (from 1).
QList<SessionEvent> ReadSessionEvents(Database &db, const std::function<void(int, int)> &perEvent = {});

// The Org of the pseudo event.
inline const QString SessionsOrg = QStringLiteral("Sessions");
// The pseudo event: Org "Sessions" without a date.
bool IsSessionsEvent(const SessionEvent &ev);

// "Show ALL sessions": for every heading item holding the text, separator +
// "O|" + Org + " - " + date + ": " and the programme from the heading's text
// up to the next heading that is not a break, interval or extras. Doubled
// separators made single; "" when no heading holds it. text must not be empty.
QString GatherSessions(const QList<SessionEvent> &events, const QString &text, QChar sep);

// "List ALL sessions": the titles of the headings holding the text (every
// heading when empty), of every event but the pseudo one, unique in any case
// and sorted through the fold.
QStringList SessionTitles(const QList<SessionEvent> &events, const QString &text, QChar sep,
                          const QStringList &dayNames);
// The text of "List.Txt": the first line, an empty line, the titles.
QString SessionListText(const QStringList &titles, const QString &text);

// One programme row as shown: its kind and its text (a heading with its
// time range).
struct ShownRow {
    ItemKind kind = ItemKind::Note;
    QString text;
};
// "Session titles": each session heading with the note below it.
QString SessionHeadingsText(const QList<ShownRow> &rows);
