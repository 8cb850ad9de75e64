#pragma once
// The card settings: the primary font of instructions and the layout of
// instruction cards, kept in the settings section [Cards] and in the
// program-wide values below, which the layout pass and the card layout read.
// The settings window (presentation/SetForm.h) shows them as the boxes of
// CardSetValues; the routines here do the work on those boxes.

#include "presentation/InstructionText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class TIniFile;

// Kept in step with [Cards] and the settings window.
extern QString CardsDFont;      // primary font name
extern int CardsDSize;          // primary size in points
extern QString CardsDSizeText;  // the size as text
extern QString CardsHalfPoints; // the size in half-points as text (for "\fs")
extern int CardsParaGap;        // twips after a paragraph
extern int CardsLSpace;         // exact line spacing in twips
extern bool CardsHalfLines;     // the settings window's Half-lines box
extern QList<int> TabStops;     // twips, at most MaxTabStops
extern int TabCount;
extern QString HangingIndentPrefix;

inline constexpr int MaxTabStops = 32;
inline const QString StandardTabList = QStringLiteral("727/3600/4200");

// The keys of [Cards] with their defaults, in the order of the window.
struct CardsKey {
    QString key;
    QString def;
};
const QList<CardsKey> &CardsKeys();

// The eight card boxes, in the order the standard layouts are compared:
// GapTop, GapLeft, DWidth, DHeight, VGap, HGap, Down, Across.
const QStringList &CardEditNames();

struct StandardLayout {
    QString name;       // "L1" to "L4"
    QString caption;
    QStringList values; // the eight card boxes
    bool portrait;
};
const QList<StandardLayout> &StandardLayouts();

// The boxes of the settings window.
struct CardSetValues {
    QString fontName, fontSize, tabList, paraGap, lSpace;
    bool halfLines = false;
    QStringList card = QStringList(8, QString()); // in CardEditNames() order
    bool portrait = true;
    int layout = 0; // the checked standard layout 1-4; 0 none
};

// Fills the boxes from the settings file and the font values, and reads the
// tab list into TabStops (leniently: bad pieces are skipped, at most 32 kept,
// "727" when none is left; a list that needed this is logged). A matching
// layout is only marked; without a card width, layout 1 is applied.
CardSetValues LoadSet(TIniFile &ini);
// HangingIndentPrefix from the first tab stop.
void SetTab1();
// Applies standard layout n (1-4): its boxes, its orientation and the
// standard tab list.
void StdClick(CardSetValues &v, int n);
// The first standard layout whose boxes the card boxes hold, 0 for none.
int MatchingLayout(const CardSetValues &v);
// The card boxes were typed in: checks the matching layout and applies it.
void MyChange(CardSetValues &v);
// The Half-lines box was clicked: the paragraph gap becomes 0 or 100.
void HalfLinesClick(CardSetValues &v);

// Reads a tab list strictly: false when a piece is no whole number of 0 or
// more, or there are more than 32 pieces.
bool ParseTabList(const QString &text, QList<int> &stops);
// Reads it leniently; changed tells whether anything had to be dropped.
QList<int> ReadTabList(const QString &text, bool *changed = nullptr);

// Whether every box that must hold a whole number does, in range.
bool CardSetValuesValid(const CardSetValues &v);
// Apply: checks every box first (a bad one shows the message and changes
// nothing), then takes the font, writes [Cards], reloads and runs the hooks.
// On success v holds the boxes as reloaded.
bool ApplySettings(TIniFile &ini, CardSetValues &v);

// The primary size: sets CardsDSize, CardsDSizeText and CardsHalfPoints;
// a size other than 12 switches half-lines off (with its message) when they
// are on. Returns true when it switched them off. The first form works on
// the program's settings object.
bool CheckHalfLines(int size);
bool CheckHalfLines(TIniFile &ini, int size);

// Start-up: the primary font and size from [Cards], then the card settings.
CardSetValues CardSettingsAtStartup(TIniFile &ini);

// Hooks: Apply's save of the edited instructions (the editor asks itself
// whether to save) and the card layout's fresh start; the settings window's
// Half-lines box being unticked by CheckHalfLines.
extern std::function<void()> ApplySaveInstructionsHook;
extern std::function<void()> ApplyRelayoutHook;
extern std::function<void()> HalfLinesUntickHook;

// SetRtfFontSize with the primary font and size, when the main window's
// option UsePrimary is on.
QString SetRtfFontSize(const QString &rtf);

// A new primary font (from a font dialog or the editor's font list):
// CardsDFont, the size through CheckHalfLines, [Cards] DFont and DSize.
void SetPrimaryFont(TIniFile &ini, const QString &family, int size);
// An answer for "Para gap" or "Line spacing" (key "ParaGap" or "LSpace"):
// a whole number of 0 or more becomes CardsParaGap or CardsLSpace and is
// written; anything else shows a message naming the text and changes
// nothing. True when taken.
bool SetCardsTwips(TIniFile &ini, const QString &key, const QString &answer);

// What the layout pass takes from the values above.
CardLayout CurrentCardLayout();

// Puts the values above back to their state before start-up (tests).
void ResetCardSettings();
