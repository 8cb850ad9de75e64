#pragma once
// The program block: what main() runs. One copy per user; the long-lived
// windows are made in a fixed order and the event loop runs.

#include <QString>

struct ProgramOptions {
    // Where the single-copy lock lives and the name other copies call; empty
    // for the defaults.
    QString lockFolder;
    QString serverName;
    // The program folder; empty for the executable's folder.
    QString programFolder;
};

// Creates the application object when there is none, then runs the block.
int RunQuillary(int argc, char **argv);
// The block, on an existing application object. Returns the exit code: 0
// also when another copy runs (after telling the user).
int ProgramBlock(const ProgramOptions &options = {});

inline const QString AlreadyRunningText = QStringLiteral("Quillary is already running.");

// The windows made at start, in order; each later window adds itself here.
void CreateForms();
void FreeForms();
