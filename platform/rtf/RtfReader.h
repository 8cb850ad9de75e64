#pragma once
// Reading RTF: the stored instructions, this program's own output and what
// word processors put on the clipboard. Reading never throws and never
// hangs: text that breaks off or does not balance gives what was read up to
// there, with the malformed flag set.
//
// Bytes given as \'hh, and raw characters above 0x7F (bytes read as
// Windows-1252 on their way in), are read in the character set of the font
// they stand in (its \cpg or \fcharset), else in the document's \ansicpg,
// \mac, \pc or \pca; UTF-8 sequences as whole characters. The font named
// Symbol shows its letters as the Unicode characters it draws. Every group
// keeps its own state however deep the nesting.
//
// Groups marked "\*" are read when they hold text (a field's result, the
// Unicode half of \upr); a text box's text becomes a paragraph of its own.
// The cells of a table row stand in the columns their \cellx edges give
// them: a cell whose edge lies beyond another row's spans the columns between.
//
// Layout lengths become pixels at 15 twips each, kept exact (not rounded),
// so that writing the document back gives the same numbers.

#include <QString>
#include <QTextFormat>

class QTextDocument;

// Properties the reader sets beside Qt's own, so that the writer can give
// back the words it read.
enum RtfFormatProperty : int {
    // Character: the raise of \up (positive) or \dn (negative), in half-points.
    RtfRaiseProperty = QTextFormat::UserProperty + 0x5201,
    // Block: the position, in pixels, of the tab stop the reader added at a
    // hanging indent (Qt has no implicit stop there); it is not written back.
    RtfImplicitTabProperty = QTextFormat::UserProperty + 0x5202,
};

inline constexpr double TwipsPerPixel = 15.0;

struct RtfReadResult {
    bool rtf = false;       // the text began "{\rtf"; otherwise it was read as plain text
    bool malformed = false; // braces did not balance, the text broke off or a token was damaged
};

// Replaces the document's content with the text read. Text that does not
// begin "{\rtf" is plain text, one paragraph per line.
RtfReadResult ReadRtf(const QString &rtf, QTextDocument *doc);

// The plain text of an RTF text, straight from its tokens without building a
// document: paragraphs joined by CR LF, line breaks (\line) as VT (0x0B),
// the cells of a table row joined by tabs. Text that does not begin "{\rtf"
// comes back as it is. Never throws.
QString rtfPlainText(const QString &rtf);
