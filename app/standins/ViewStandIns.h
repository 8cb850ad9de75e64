#pragma once
// Routines the main window's views call from areas still being built; each
// does the least the views need and logs that it stood in.

#include <QString>

class QWidget;

// The Folders page's view of the music folders.
void InitFolders();
