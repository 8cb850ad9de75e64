#pragma once
// Finding a dance by its key in the Dances table: the seek key in the order
// of the table's index, the scan of the FSRT order, the found test, and the
// state kept about dances that a programme names but the table lacks.

#include "programme/text/ProgrammeItem.h"

#include <QString>
#include <QVariantList>

class Dataset;

// A missing dance was met while the shown event was being displayed; later
// misses of the same display pass silently. Cleared when another event shows.
extern bool MissingMet;

// The not-found dialog's last choice and its "Do this for all" box, kept for
// the run.
enum class NotFoundAction { Note, Generate };
extern NotFoundAction NotFoundChoice;
extern bool NotFoundForAll;

// Puts the state above back to its start (tests).
void ResetLocateState();

// The values to seek with on a Dances index, in its column order: FST gives
// (Format, Style, Title), FTS (Format, Title, Style), TSF (Title, Style,
// Format) and FSRT (Format, Style), since its Rhythm is not known. Any other
// order name is taken as FST.
QVariantList DanceSeekKey(const QString &order, const DanceKey &key);

// Title, Format and Style all equal through the program's case fold.
bool SameDanceKey(const DanceKey &a, const DanceKey &b);

// The key of the dataset's current record.
DanceKey CurrentDanceKey(Dataset &dances);

// The key of the current record as the table holds it: empty while the
// record is being inserted (it is not stored yet) and when none is shown.
// Edits not yet stored, and those a refused post left in the record, do not
// count.
DanceKey StoredDanceKey(Dataset &dances);

// Moves the dataset to the dance: a first-equal seek on its index (for
// FSRT, whose Rhythm is not known, the row of the whole key). True when the
// record then shown has the whole key; a miss may leave the dataset on
// another record of a partial match.
bool SeekDance(Dataset &dances, const QString &order, const DanceKey &key);

// The not-found dialog's text for a dance.
QString NotFoundText(const DanceKey &key);

// The dance as a programme item without separators: "D|" Title "|" Format
// "|" Style.
QString DanceItemText(const DanceKey &key);
