#pragma once
// Instructions on a rich-edit box: the layout pass, the save into the dance
// record and the paste. The text rules themselves are in InstructionText.h.

#include "presentation/InstructionText.h"

#include <QChar>
#include <QString>

#include <functional>

class QMimeData;
class QWidget;
class RichEdit;

// True when the last paragraph the layout pass handled was given the tab
// layout; the card layout carries it from one card to the next.
extern bool TabBlockOpen;
// 'T' when the shown instructions hold a non-breaking space, 'N' when not,
// 'D' once the loss has been reported (at most once a run).
extern QChar NbspState;
// Set while a save runs; a save arriving meanwhile does nothing.
extern bool SavingInstructions;

// The layout pass on a box: the card layout put back into its text in place,
// the normal form in stored. Keeps the box's Modified flag and caret. Every
// box but the card box starts with TabBlockOpen clear.
void Juggle(RichEdit *editor, QString &stored, InstructionBox box);

// The dance record the save writes (fields by name).
class InstructionRecord {
public:
    virtual ~InstructionRecord() = default;
    virtual QString field(const QString &name) const = 0;
    virtual void setField(const QString &name, const QString &value) = 0;
    virtual void edit() = 0;
    virtual void post() = 0; // may be abandoned by the record's checks (throws)
};

struct InstructionSave {
    RichEdit *instructions = nullptr;
    RichEdit *footer = nullptr;
    InstructionRecord *record = nullptr;
    bool fromMainWindow = false; // the main window's before-post hook posts itself
    // The main window's values.
    QString musicBox;
    QString rhythmBox;
    bool showTitles = false;
    bool refine = false;
    std::function<void()> showDance;      // re-shows the dance
    std::function<void()> startLayoutJob; // the card layout job
};

// Stores the boxes' instructions and footer in the normal form, clears
// Printed, takes the tune of the first line into Music, posts, and warns
// while a "¶" remains. SavingInstructions is cleared on every way out.
void SaveInstructions(const InstructionSave &save);

// Pastes mime data (the clipboard) into target: as plain text when the data
// holds no rich text, the target is no rich edit, or the user declines to
// keep the formatting; otherwise paragraphs, tabs, bold, italic, underline
// and characters are kept and the rest of the format comes from the caret.
void PasteClick(QWidget *target, const QMimeData *data);
// Makes a box's own paste and drop go through PasteClick.
void UseInstructionPaste(RichEdit *box);
