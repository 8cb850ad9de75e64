#pragma once
// The text the full-screen display shows for one programme item: a dance's
// instructions as the RTF writer gives them, with the break prefix, the
// recording line, the notes (and a main dance's notes), gender-free words,
// heads and sides exchanged, blank lines shrunk, curly quotes and fractions;
// a notes row's text with the event's details; the notes view's text; the
// headings F11 and F12 step between. No widgets: the window loads the result.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QTextDocument;

// The dance the notes marker Main="..." names, as the catalogue holds it.
struct MainDance {
    QString title;
    QString notes;
};
// Finds a dance by title; the catalogue compares titles without regard to
// capitals, so the caller can tell a title that differs only in them.
using MainDanceLookup = std::function<std::optional<MainDance>(const QString &title)>;

// The notes with a Main="title" marker replaced: the marker goes and the
// named dance's notes follow after two line breaks. A title not in the
// catalogue, or one in other capitals, abandons with its message; a main
// dance without notes shows "Main Dance has no notes to include!".
QString ExpandMainNotes(const QString &notes, const MainDanceLookup &lookup);

struct FullTextInput {
    QString instructions;   // RTF as the writer gives it
    int zoom = 100;         // the stored zoom (already read through StoredZoom)
    bool isBreak = false;   // the dance's Style is "Break"
    // The recording line: each column with its key, in the key order; empty
    // values are left out.
    QList<std::pair<QString, QString>> recording;
    QString notes;          // after ExpandMainNotes
    bool genderFree = false;
    QString man = QStringLiteral("Lark");
    QString woman = QStringLiteral("Raven");
    bool swap = false;      // heads and sides exchanged
    QString title;          // the title line the instructions may begin with
};

struct FullTextResult {
    QString rtf;
    bool unmatchedQuotes = false;
};

// Steps two to ten of laying out a dance; the fractions (step eleven) are
// drawn on the loaded document by DrawFractions.
FullTextResult DanceFullText(const FullTextInput &in);

// The single steps, each on RTF as the writer writes it.
// Zoom above 200: a double tab, else the first tab before the first "A1",
// becomes a bold three-blank gap.
QString NarrowTabs(const QString &rtf);
QString GenderFree(const QString &rtf, const QString &man, const QString &woman);
// Bold heads become sides and the reverse, across becomes up and down (and
// up and down or up & down across): a bold run that begins with the word,
// whether or not the RTF marks the bold just before it.
// A first line that is the title is left alone.
void SwapHeadsSides(QTextDocument *doc, const QString &title = QString());
QString SwapHeadsSides(const QString &rtf);
QString ShrinkBlankLines(const QString &rtf);
// Straight double quotes become curly ones, the last closing; *odd tells an
// odd count.
QString CurlQuotes(const QString &rtf, bool *odd);
// The number of underscores in the notes divider at a zoom.
int DividerLength(int zoom);

// ¼, ½ and ¾ as a raised numerator, "/" and a denominator, bold 10 point on
// their colour, a digit just before them included.
void DrawFractions(QTextDocument *doc);

// A programme row that is not a dance: its text without a leading "!", with
// the event's organisation, time and band in front when it is short.
QString NotesRowText(const QString &text, const QString &org, const QString &time, const QString &band);

// The notes view: the notes as RTF with empty-line pairs shrunk and curly
// quotes and the em dash made plain.
QString NotesViewRtf(const QString &notes);

// The heading lines F11 and F12 step between, latest in a dance first.
const QStringList &SquareHeadings();
// The position F11 (back) or F12 (forward) scrolls to the top, in the plain
// text (paragraphs end in "\n"), from the top visible position; 0 is the
// start of the text; -1 when F12 finds nothing to go to.
int HeadingTarget(const QString &plain, int top, bool forward);

class Database;
// The look-up over the catalogue's Dances table (the title a bound value).
MainDanceLookup CatalogueMainDance(Database &db);
