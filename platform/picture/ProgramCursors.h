#pragma once
// The program's own mouse cursors, drawn here rather than read from files:
// "Printing" (5), "Email" (6), "WebSite" (7) and "Circle" (8), each
// 32 by 32 pixels with a transparent ground.

#include <QCursor>

enum class ProgramCursor { Printing = 5, Email = 6, WebSite = 7, Circle = 8 };

// Draws the four cursors once (start-up does so; any later use draws what is
// missing first).
void LoadProgramCursors();
// The cursor of a number; a number without a cursor of its own gives the
// arrow.
QCursor ProgramCursorOf(int number);
inline QCursor ProgramCursorOf(ProgramCursor c) { return ProgramCursorOf(int(c)); }
