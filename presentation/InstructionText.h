#pragma once
// The normal form of a dance's instructions and footer, as text routines over
// the RTF the writer gives (platform/rtf/RtfWriter.h).
//
// Stored texts carry no paragraph layout: tab stops, paragraph gap, line
// spacing, hanging indents and half-line gaps are stripped before saving and
// put back from the card settings whenever a text is shown or edited. A
// stored text is empty, or the writer's header line(s), the first text line
// ("\viewkind4\uc1...") and one line per further paragraph beginning
// "\par ", ending "\par }".
//
// Positions count from 1; 0 means "not found".

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// The rich-edit box a layout pass works on.
enum class InstructionBox {
    MainInstructions,   // the main window's instructions box
    EditorInstructions, // the instruction editor's instructions
    EditorFooter,       // the instruction editor's footer
    CardBox,            // the card layout's work box (carries the tab block over)
};

// What the layout pass takes from the card settings.
struct CardLayout {
    QString lineSpacing; // twips as text; empty: no line spacing word
    QString paraGap;     // twips as text; empty: no paragraph gap word
    QList<int> tabStops; // twips
    QString hangingIndentPrefix;
    bool halfLines = false;
};

// The layout prefix: "\pard", "\sl-" + line spacing, "\sa" + gap, "\slmult0",
// then "\tx" + each tab stop.
QString LayoutPrefix(const CardLayout &layout);
// "\fi-" + T + "\li" + T for the first tab stop T.
QString HangingIndentPrefixFor(int firstTab);

// The position of the control word word in text at or after start, ignoring
// case, that is not followed by a lower-case letter and is not an escaped
// backslash's text (it stands after an even run of backslashes); 0 for none.
int RTFWordPos(const QString &word, const QString &text, int start = 1);

// Removes the layout words "\sl", "\slmult0", "\tx", "\sa", "\pard", "\fi",
// "\li" and "\fs12" with their arguments, and a blank after each unless a
// control word before it needs the blank as its delimiter.
QString StripLayout(const QString &rtf);

// Half-lines: in the editor's instructions, when the setting is on and the
// text holds "A1" but no empty paragraph yet, every paragraph gets an empty
// one after it (not the last).
QString DoubleHalfLines(const QString &rtf, bool halfLines, InstructionBox box);

// The line pass: puts the layout prefix where a run of tab paragraphs begins
// or ends, after a half-line and on the first text line when it holds a tab;
// empty paragraphs become half-lines when the setting is on. The header (the
// lines before the first text line) is left alone. tabBlockOpen is read and
// updated.
QString LayoutLines(const QString &rtf, bool &tabBlockOpen, const CardLayout &layout);

struct LayoutResult {
    QString text;      // with the layout put back
    QString stored;    // the normal form
    bool tabBlockOpen = false;
    bool table = false; // the text holds a table: left as it is
};
// The whole pass on a box's RTF: strip, half-line doubling, the stored form,
// the line pass. A text with a table is left as it is.
LayoutResult LayoutText(const QString &rtf, bool tabBlockOpen, const CardLayout &layout, InstructionBox box);

// Removes padding pieces from both ends: at the front "\n", "\r", "\par ",
// "\pard", "\fs24", "\fs24 ", "\fs12"; at the end those and "}", "\i",
// "\b ", "\u " (escaped text excepted); pass after pass until none is left.
QString TrimRTF(const QString &rtf);

// Puts the primary font into an RTF text when usePrimary is on: the name of
// the first font ("fcharset0 " up to ";") and the size of the first whole
// control word "\fs" + digits (of the second when "Title" stands between
// the two); "\fswiss" and the like are no size.
struct RtfFontSpot {
    QPair<qsizetype, qsizetype> name{-1, -1}; // from, end of the font name
    QPair<qsizetype, qsizetype> size{-1, -1}; // from, end of the size digits
};
RtfFontSpot FindRtfFontSize(const QString &rtf);
QString SetRtfFontSize(const QString &rtf, bool usePrimary, const QString &fontName, const QString &halfPoints);

// The tune named on the first line of the instructions' plain text.
struct TuneSource {
    QString plainText; // paragraphs joined by CR LF
    bool showTitles = false;
    QString format, style, ownTune, rhythm, collection;
};
std::optional<QString> TuneFromInstructions(const TuneSource &source);
