#pragma once
// The recordings check of a programme: which dances have no recording to
// play and which recordings more than one dance would play. Nothing is
// shown here: the main window shows the texts.

#include "core/dances/DanceShow.h"
#include "programme/evaluation/ProgrammeData.h"
#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>
#include <QStringList>

// The texts the check shows, in order: the dances without a recording, the
// recordings used more than once, or "All dances have recordings.". Each
// dance row with a title and a Style other than "Technique" is judged by the
// recording its own choice (its "§" line) would play; musicBase gives the
// rest of the music box's input. A dance the catalogue lacks (after the
// lookup's own miss handling) counts as without recording.
QStringList CheckRecordings(const QList<ProgrammeItem> &rows, const DanceLookup &lookup,
                            const MusicInput &musicBase);
