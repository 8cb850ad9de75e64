#pragma once
// Makes the libmpv handles of the program's players: no video, no terminal,
// no user configuration, scripts or key bindings; idle between files.

#include <QString>

struct mpv_handle;

// A started handle, or null when libmpv will not start: logged, or given in
// *failure instead when that is not null (a thread other than the main one
// does not write the log). audioOutput: libmpv's "ao" ("null" plays
// silently); empty keeps its default. keepOpen: a file stays loaded,
// paused, at its end.
mpv_handle *MakeMpvHandle(const QString &audioOutput, bool keepOpen, QString *failure = nullptr);

// Puts the numeric locale to "C", which libmpv needs, unless it is already.
void MpvNumericLocale();
