#pragma once
// The check of the catalogue, dance by dance: a blank level, blank music, a
// notes link to a missing file, a missing recording file.

#include <QChar>
#include <QString>
#include <functional>

class Dataset;

struct ValidateOptions {
    bool lvl = true;   // [Validate] Lvl
    bool music = true; // [Validate] Music
    bool links = true; // [Validate] Links: the notes link and the recordings
};

// The fields of a dance the check reads. Named apart from the maintainer's
// DanceFacts: two structs of one name share one destructor across the
// program, and the last fields of the larger would never be freed.
struct ValidatedDance {
    QString title, style, lvl, instructions, music, notes;
};

struct ValidateContext {
    QChar sep = QChar(0x00B7);  // the programme separator
    int locationColumn = -1;    // the Location column of a recording line, -1 for none
    QString baseFolder;         // the recordings' folder, ending with "/"
    QString dataFolder;         // where a relative notes link is looked for
    std::function<bool(const QString &)> fileExists;
    std::function<void(const QString &)> log;
};

// What is wrong with the dance ("Level is blank.", "Music is blank.",
// path + "\rnot found.", location + "\rNot found"), or "" when it passes.
QString ValidateDance(const ValidatedDance &dance, const ValidateOptions &options, const ValidateContext &context);

// The options as stored in [Validate] (each true when absent), and storing them.
ValidateOptions LoadValidateOptions();
void StoreValidateOptions(const ValidateOptions &options);

// Walks the dataset in its order from the first dance, its controls off,
// and stops at the first dance that fails, leaving it current. Gives the
// failure's text, or "Validated".
QString ValidateWalk(Dataset &dances, const ValidateOptions &options, const ValidateContext &context);
