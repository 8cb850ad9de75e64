#pragma once
// Routines and values the Dances page needs from areas still being built
// (card settings, the editor's layout pass, the application's error handler,
// playback, the import window, the log's hex form). Each does the least the
// page needs until the real one is in; callers name them StandIn::..., so
// swapping in the real routine is a change of the call alone.

#include <QString>

class QTextDocument;

namespace StandIn {

// The primary card font and its size, from [Cards] DFont and DSize.
QString CardsDFont();
int CardsDSize();
// Twice the size, as text.
QString CardsHalfPoints();
// The card settings' paragraph gap and hanging-indent prefix: none yet.
QString CardsParaGap();
QString HangingIndentPrefix();

// Leaves the editor's layout as it is.
void Juggle(QTextDocument *doc);

// Set while the application's error handler runs.
extern bool InErrorHandler;
// Set while the full-screen display exists, the music dialog is active, a
// recording plays, or the CSV import window exists: never yet.
extern bool FullScreenExists;
extern bool MusicDialogActive;
extern bool Playing;
extern bool ImportWindowExists;

// Logs the text, then "\rHex: " and for each character the character, a
// blank, its two-digit code and two blanks.
QString HexText(const QString &text);
void LogHex(const QString &text);

} // namespace StandIn
