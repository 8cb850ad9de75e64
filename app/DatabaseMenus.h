#pragma once
// The database commands of the main window's Tools and Settings menus. The
// commands that act on one field take the window's focus control.

class QMenu;
class QWidget;

// Adds the items (each named, with its help context as the property
// "HelpContext") and connects them to their commands; owner parents the
// input boxes and the file dialog.
void AddDatabaseCommands(QWidget *owner, QMenu *tools, QMenu *settings);
