#pragma once
// State of the services the main window gives the running program: the
// exception handler's, the playback clock's and the wheel's.

#include <QString>

// True while the exception handler runs; a failure meanwhile is ignored.
extern bool InErrorHandler;
// Where the last failure happened (none is known here: always 0) and the
// command in progress then, kept for the error report.
extern quintptr LastErrorAddress;
extern QString LastErrorCommand;

// Seconds counted by the one-second timer since playback started, and the
// total length shown.
extern qint32 ElapsedSeconds;
extern qint32 TotalSeconds;
// The full-screen position bar is being dragged.
extern bool SeekDragging;

// The playing speed in percent, for the whole program (the full-screen
// controls set it).
extern int Speed;

// Puts all of the above back to its start (tests).
void ResetAppServices();
