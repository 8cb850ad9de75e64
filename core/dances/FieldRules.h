#pragma once
// The rules the main window's data fields follow when the user leaves them or
// asks for earlier values: capitalising typed titles, the pick list's query,
// and the checks made before a dance is stored.

#include <QString>
#include <QStringList>
#include <QVariantList>

class Database;

// A text typed entirely in lower case (and not a web address) with its words
// capitalised; any other text as it is. Words are cut at blanks, full stops
// and apostrophes. The first and the last word get a capital; so does every
// other word of three letters or more except "and", "the", "for" and "with";
// "st" always does. A last word of one or two letters straight after an
// apostrophe ("s" of "cobbler's") is no word of its own and stays small.
QString CapitaliseWords(const QString &text);

// ---- the pick list of earlier values ----------------------------------------

// The field a control stands for: its name, less the first two characters of
// a name whose second character is "_" (the reorganise window's controls).
QString PickListField(const QString &controlName, bool *onReorganiseWindow = nullptr);

// The typed text the list matches: a web site loses a leading "http://".
QString PickListText(const QString &field, const QString &text);

// The query of the earlier values, in the program's SQL dialect, and the
// values bound to it: every distinct value of the field, or with `all` false
// those beginning with the typed text (letter case ignored, every character
// of it taken literally).
struct PickListQuery {
    QStringList sql;
    QVariantList params;
};
PickListQuery MakePickListQuery(const QString &table, const QString &field, const QString &typed, bool all);

// The table whose field it is: Events when it has one of that name, else Dances.
QString PickListTable(Database &db, const QString &field);

// Runs the query: the non-empty values, less a single value that equals the
// typed text (letter case ignored).
QStringList PickListValues(Database &db, const QString &table, const QString &field, const QString &typed,
                           bool all);

// ---- storing a dance ---------------------------------------------------------

// The fault that stops a dance being stored, or "": a key signature without
// the own-tune mark, a level other than one digit.
QString DanceSaveFault(const QString &keySig, bool ownTune, const QString &level);
// What a number box of either page says of a text its field cannot take:
// the box's own rule ("Level must be between 0 and 9" for the level).
QString NumberBoxFault(const QString &field);
// Whether to warn "Warning: Dance level is blank." (technique items need no level).
bool LevelBlankWarning(const QString &level, const QString &style);
