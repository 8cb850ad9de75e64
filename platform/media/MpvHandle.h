#pragma once
// Makes the libmpv handles of the program's players: no video, no terminal,
// no user configuration, scripts or key bindings; idle between files.

#include <QString>

struct mpv_handle;

// A started handle, or null (logged) when libmpv will not start. audioOutput:
// libmpv's "ao" ("null" plays silently); empty keeps its default. keepOpen:
// a file stays loaded, paused, at its end.
mpv_handle *MakeMpvHandle(const QString &audioOutput, bool keepOpen);
