#pragma once
// Routines and values the Dances page needs from areas still being built
// (playback, full-screen display, the import window). Each does the least the
// page needs until the real one is in; callers name them StandIn::..., so
// swapping in the real routine is a change of the call alone.

#include <QString>

namespace StandIn {

// Set while the full-screen display exists, or the CSV import window
// exists: never yet.
extern bool FullScreenExists;
extern bool ImportWindowExists;

} // namespace StandIn

