#pragma once
// Routines the main window's views call from areas still being built; each
// does the least the views need and logs that it stood in.

#include <QString>

class QWidget;

// The full-screen display: run modally over the programme. Logs only.
void RunFullScreen(QWidget *owner);
// The full-screen display's speed controls hidden, its speed at 100; its
// NumLock indicator. Log only.
void ResetFullScreenSpeed();
void ShowFullScreenNumLock(bool on);
