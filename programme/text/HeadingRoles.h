#pragma once
// What a heading or a note means, decided by its text alone.

#include <QChar>
#include <QString>

// A session heading starts a session: its text holds neither "Extras" nor
// "Next time" in any case, nor "Interval" or "Break" in exact case.
bool IsSessionHeading(const QString &text);
// Dances below are spare; begins with "Extras" in any case.
bool IsExtrasHeading(const QString &text);
// Dances below are kept for a later event; begins with "Next time" in any case.
bool IsNextTimeHeading(const QString &text);

enum class PauseKind { None, Interval, Break };
// A pause heading begins with "Interval" or "Break", exact case.
PauseKind HeadingPause(const QString &text);

// The day (1 = Monday .. 7 = Sunday) whose long name, as the default locale
// writes it, begins the heading; 0 when none does.
int HeadingWeekday(const QString &text);

// The computed last row of the programme.
inline const QString AverageLevelNote = QStringLiteral("Average Level: ?");
// The notes that bracket items pasted from the programme clipboard.
inline const QString InsertedNote = QStringLiteral("Inserted ...");
inline const QString EndInsertedNote = QStringLiteral("End inserted");

// A note text beginning with "Average Level": never written back.
bool IsAverageLevelNote(const QString &noteText);
bool IsInsertedNote(const QString &noteText);
bool IsEndInsertedNote(const QString &noteText);
// Notes whose first characters give them a meaning to the start-up check and
// the bookings page.
bool IsLeaderNote(const QString &noteText);
bool IsPlusNote(const QString &noteText);
bool IsMinusNote(const QString &noteText);

// A programme whose first item is a note beginning with "-": its dances are
// never counted as called.
bool ProgrammeForbidsCounting(const QString &progText, QChar sep);
