#pragma once
// Program-wide state shared by every subsystem; a test fixture resets it.

#include <QString>

class QAction;

// Folder of the database, the settings file and the log; ends with "/".
extern QString DataFolder;
// Folder of the executable; ends with "/".
extern QString ProgramFolder;
// The maintainer mode: false for every ordinary installation.
extern bool AuthorMode;
// The main-window menu item of the command in progress, or null.
extern QAction *CommandItem;

// True while "Check all" walks every event (the command in progress is
// that item), so the rows stay out of sight meanwhile.
bool CheckAllRunning();

// Fixes ProgramFolder and AuthorMode from the running executable.
void InitProgramFolder();
// True for the maintainer's development folder: "QuillaryDev" directly under
// the user's home folder.
bool IsAuthorFolder(const QString &programFolder, const QString &homeFolder);
