#pragma once
// Routines and values the Dances page needs from areas still being built
// (playback, full-screen display, the log's hex form). Each does the least the
// page needs until the real one is in; callers name them StandIn::..., so
// swapping in the real routine is a change of the call alone.

#include <QString>

namespace StandIn {

// Set while the full-screen display exists, the music dialog is active,
// or a recording plays: never yet.
extern bool FullScreenExists;
extern bool MusicDialogActive;
extern bool Playing;

// Logs the text, then "\rHex: " and for each character the character, a
// blank, its two-digit code and two blanks.
QString HexText(const QString &text);
void LogHex(const QString &text);

} // namespace StandIn
