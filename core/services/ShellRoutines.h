#pragma once
// Handing things to other programs: documents, web addresses and mail links
// to their associated programs, text files to the user's editor, command
// lines to processes; the open and save dialogs; the interface sounds.
// The replaceable parts live in platform/shell/ and platform/media/.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// How an opened document's window is shown (the desktop may ignore it).
enum ShowMode : int { ShowNormal = 1, ShowMaximised = 3 };

// Opens a file, web address ("http...") or mail link ("mailto:"). Anything
// else must be an existing file, else "File not found:" abandons the action.
// False (after its message) when no program opened it.
bool OpenDocument(const QString &target, int showMode = ShowNormal);

// Runs a program with its arguments and waits for it to end. No shell takes
// part, so nothing in a path or a file name ("$", "`", ";", blanks) acts: the
// program gets each argument whole. A program that cannot start raises
// "Unable to run \r" and the command; a non-zero exit shows "Error calling
// external routine". afterRun follows a run that started.
void RunCommand(const QString &program, const QStringList &arguments, const std::function<void()> &afterRun);
// A command line from the settings (Backup, Restore): parted into the program
// and its arguments (double quotes keep blanks together), then run as above.
void RunCommand(const QString &commandLine, const std::function<void()> &afterRun = {});

// Opens a file with the configured editor program, else with its own program.
void OpenWithEditor(const QString &fileName);
// Writes the text to "Prog.Txt" in the current folder and opens it in the editor.
void ShowInEditor(const QString &text);

// The open or save dialog. filter: description and pattern pairs with "|"
// between them ("RTF files|*.RTF"). On OK fileName becomes the chosen path.
// defaultSuffix (no dot) is added to a name typed without one; empty takes
// the suffix of fileName.
bool PickFile(QWidget *owner, const QString &filter, const QString &initialFolder, bool open, QString &fileName,
              const QString &title, const QString &defaultSuffix = QString());
// The dialog's form of a "|" filter: "RTF files|*.RTF" gives
// "RTF files (*.RTF *.rtf)", since Linux file names are case-sensitive.
QString DialogNameFilter(const QString &filter);

// Plays one of the program's interface sounds ("Click", "ClickQuiet", "On",
// "Off", "Buzzer"; any case) without waiting. An unknown name is only logged.
void PlayWaveResource(const QString &name);

// The main window's message panel ("Trying to run..."), which hides itself
// after a few seconds.
class MessagePanelView {
public:
    virtual ~MessagePanelView() = default;
    virtual void showPanel(const QString &text) = 0;
    virtual void hidePanel() = 0;
};
// Installs the panel (not owned); null: messages of the panel go nowhere.
void SetMessagePanel(MessagePanelView *panel);
MessagePanelView *CurrentMessagePanel();
void HideMessagePanel();
