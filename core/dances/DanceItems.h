#pragma once
// A dance's items in programme strings: turning them into notes when the
// dance goes, renaming them when its key changes, and doing either over the
// programmes of every event at once.

#include "programme/text/ProgrammeItem.h"

#include <QChar>
#include <QString>

class Database;

// What a note made from a deleted dance's item carries after its key.
inline const QString DanceDeletedSuffix = QStringLiteral(" (dance has been deleted)");

// Every item of the dance (matched ignoring case, with or without a
// recording choice "§n") becomes "N|" + its title "|" format "|" style +
// " (dance has been deleted)"; the choice goes. A longer title, format or
// style is another dance. *count (when given) gets the number converted.
QString DanceItemsToNotes(const QString &programme, QChar sep, const DanceKey &key, int *count = nullptr);

// Every item of oldKey (matched as above) is renamed to newKey, keeping its
// recording choice.
QString RenameDanceItems(const QString &programme, QChar sep, const DanceKey &oldKey, const DanceKey &newKey,
                         int *count = nullptr);

// The same over the Programme of every Events row, whatever filter the
// Events dataset shows: rows are rewritten by rowid with bound values, no
// hooks run, and the open datasets re-read afterwards. Gives the number of
// events changed. Runs in the caller's transaction when one is open, else in
// its own.
int DanceItemsToNotesEverywhere(Database &db, QChar sep, const DanceKey &key);
int RenameDanceItemsEverywhere(Database &db, QChar sep, const DanceKey &oldKey, const DanceKey &newKey);
