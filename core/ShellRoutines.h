#pragma once
// Handing documents and web addresses to the desktop, and the interface
// sounds.

#include <QString>
#include <functional>

// How an opened document's window is shown (the desktop may ignore it).
enum ShowMode : int { ShowNormal = 1, ShowMaximised = 3 };

// Opens a file or web address with its associated program.
void OpenDocument(const QString &target, int showMode = ShowNormal);

// Plays one of the program's interface sounds without waiting. No sounds are
// installed yet: nothing is played.
void PlayWaveResource(const QString &name);
