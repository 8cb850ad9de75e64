#pragma once
// Handing work to other programs: running a command line and waiting for it,
// opening a document, opening a file in the user's editor.

#include <QString>
#include <functional>

// Runs the command line and waits for it: the program itself, else through
// "/bin/sh -c"; when neither starts, throws "Unable to run \r" + the line.
// A non-zero exit shows "Error calling external routine". Then afterRun.
void RunCommand(const QString &commandLine, const std::function<void()> &afterRun);

// Opens a file, web address ("http...") or mail link ("mailto:"). A file
// that does not exist abandons with "File not found:\r" + target.
void OpenDocument(const QString &target);

// Opens a file with [User] Editor when one is set, else as a document.
void OpenWithEditor(const QString &fileName);
