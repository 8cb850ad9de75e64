#pragma once
// Small text routines shared by every subsystem: upper-casing with the
// German umlauts, splitting into and joining from the shared SplitList,
// trimming and padding, whole text files, and a dance's title as shown.

#include <QString>
#include <QStringList>

// "a"-"z", "ä", "ö" and "ü" upper-cased; every other character unchanged
// (ß, é and the other accented letters stay as they are).
QString UpperCaseDE(const QString &s);

// The pieces of the last MySplit; callers read it at once, since any later
// split overwrites it.
extern QStringList SplitList;

// Fills SplitList with the pieces of text between delimiters. With a longer
// delimiter every piece starts after the whole delimiter, the first one at
// the delimiter's length (callers split texts that begin with it). A text
// that ends with the delimiter gets one empty piece after it: "a|b|" gives
// "a", "b" and "".
void MySplit(const QString &text, const QString &delimiter);
// The entries of SplitList with the delimiter between them.
QString MyJoin(const QString &delimiter);

// Characters up to a blank and ",", "-" and ":" removed from both ends.
QString TrimPunct(const QString &s);
// Blanks in front up to n characters; n asterisks when s is longer.
QString PadLeft(const QString &s, int n);
// Blanks behind up to n characters; the first n characters when longer.
QString PadRight(const QString &s, int n);
// The path ending in the folder separator "/" (an empty path gives "/").
QString AddBackslash(const QString &path);
// s ending in "/"; an empty s stays empty.
QString AddSlash(const QString &s);

// A value as a message quotes it: at most its first 100 characters, then
// "..." when it was longer.
QString MessageValue(const QString &value);

// The whole file with every line, the last included, ending in CR LF; a lone
// CR or LF in the file is a line end too. The file is read by the program's
// read rule (UTF-8 or Windows-1252). A missing or unreadable file throws
// std::runtime_error naming the file and the reason.
QString LoadTextFile(const QString &name);
// Writes text as lines (cut at CR LF, lone CR or lone LF), each ending in
// CR LF; "" gives an empty file. The file is replaced whole or not at all;
// a failed save throws std::runtime_error naming the file and the reason.
void SaveTextFile(const QString &name, const QString &text);

// The article DisplayTitle last moved to the front ("" when none), and
// whether the title it was last given began with "!".
extern QString TitleArticle;
extern bool TitleBang;

// The title as shown: a leading "!" dropped, and a trailing ", The" (or
// ", A", ", La", ", Le", ", An", ", Les", ", Die") moved to the front.
QString DisplayTitle(const QString &title);
// The articles DisplayTitle moves: "The", "A", "La", "Le", "An", "Les", "Die".
const QStringList &TitleArticles();
