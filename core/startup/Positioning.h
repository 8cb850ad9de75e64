#pragma once
// Positions in the table datasets: seeking a key on the current index, going
// back to a kept position, and keeping the Events or Dances position across
// a walk through the table (one walk at a time).

#include "platform/sqlite/Dataset.h"

#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

// A kept position: a bookmark, AtEndPos for "at the end of the table", or
// NoPos for none.
inline constexpr Dataset::Bookmark NoPos = 0;
inline constexpr Dataset::Bookmark AtEndPos = -1;

// Seeks the values on the dataset's current index in one of the six seek
// modes (0 first-equal, 1 last-equal, 2 after-or-equal, 3 after,
// 4 before-or-equal, 5 before), pending edits saved first. True when a
// shown record was found, which is then current; false leaves the dataset
// where it was.
bool SeekRecord(Dataset &dataset, const QVariantList &values, SeekMode mode);
bool SeekRecord(Dataset &dataset, const QVariantList &values, int mode);

// What the event of a day must hold besides its date; an unset part
// matches any event. Compared ignoring case.
struct EventDayMatch {
    std::optional<QString> org;
    std::optional<QString> event;
};
// The first event of a day: from the first Events record at or after the
// day's start (the date's time of day, and the record's, play no part), in
// date order, forward while the record is on that day, the first shown one
// that matches. True when found, which is then current (after-scroll
// handler run); false moves nothing. Pending edits are saved first.
bool SeekEventDay(Dataset &events, double date, const EventDayMatch &match = {});

// NoPos: nothing; AtEndPos: the last record; else that record. A position
// whose record is gone or hidden leaves the dataset where it was.
void GotoPos(Dataset &dataset, Dataset::Bookmark position);

// Keeps the Events position (AtEndPos when at the end), takes the
// after-scroll handler off and mutes the controls for the walk.
void SavePos();
// Back to the kept position; the Events after-scroll handler goes on again
// and the controls are enabled, EventChanged kept.
void RestPos();
// The same on another dataset standing for Events.
void SavePos(Dataset &events);
void RestPos(Dataset &events);
bool PosKept();
// Drops the kept position without going to it.
void ForgetPos();

// The same for Dances, without touching its handler or controls.
void SaveDancePos();
void RestDancePos();
void SaveDancePos(Dataset &dances);
void RestDancePos(Dataset &dances);
void ForgetDancePos();
bool DancePosKept();

// What RestPos puts back: the after-scroll handler (EventsAfterScroll) and
// how the controls are enabled (one level, EventChanged kept). Empty
// functions restore these.
void SetEventsScrollHandler(std::function<void(Dataset &)> handler);
void SetEventsEnable(std::function<void(Dataset &)> enable);

// Forgets kept positions and restores the handlers (tests).
void ResetPositions();
