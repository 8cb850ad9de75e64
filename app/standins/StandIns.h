#pragma once
// Routines and values the Dances page needs from areas still being built
// (the full-screen display). Each does the least the
// page needs until the real one is in; callers name them StandIn::..., so
// swapping in the real routine is a change of the call alone.

#include <QString>

namespace StandIn {

// Set while the full-screen display exists: never yet.
extern bool FullScreenExists;

} // namespace StandIn

