#pragma once
// The programme listings: the programme with every dance's instructions and
// notes (as RTF for a word processor or as plain text), the list of the
// programme's titles, and the caller's own tunes a band has played before.
// The questions are the main window's; these routines only build text.

#include "programme/evaluation/ProgrammeData.h"
#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>
#include <QStringList>

class QTextCursor;

// The kinds of listing line, each on a white background in Verdana:
// 0 headings (purple, 16 pt, bold, centred; underlined too for a session
// heading), 1 titles and separator lines (purple, 16 pt, bold), 2 italic
// (notes), 3 bold (event information, "Notes:", short programme notes).
enum ListingKind : int { ListHeading = 0, ListTitle = 1, ListItalic = 2, ListBold = 3 };

// One piece of the listing: text of a kind ("\n" breaks the line), or a
// dance's instructions as RTF (kind ignored).
struct ListingPiece {
    int kind = ListBold;
    QString text;
    bool rtf = false;
    bool operator==(const ListingPiece &) const = default;
};

struct ListingOptions {
    QString heading;         // the event heading
    QString info;            // the event information line
    bool nextTimeToo = true; // list the dances below a "Next time" heading
    bool selectedOnly = false;
    QList<bool> marks;       // the rows in the selection colour
};

// The programme's pieces in order (the rows as shown, average note included).
// A dance the catalogue lacks (after the lookup's own miss handling) is listed
// without instructions.
QList<ListingPiece> BuildListing(const QList<ProgrammeItem> &rows, const ListingOptions &options,
                                 const DanceLookup &lookup);

// The pieces as one RTF document (our writer's form).
QString ListingRtf(const QList<ListingPiece> &pieces);
// Appends text of a kind at the end of the cursor's document ("\n" breaks
// the line).
void AddRTFLine(QTextCursor &cursor, const QString &text, int kind);
// The RTF for a word processor: every "Music Link: " and its address up to
// the next blank bold in colour 1 (the first line's purple), and a tab after
// every soft line break.
QString MarkMusicLinks(const QString &rtf);
// The plain-text listing from the listing's plain text (paragraphs CR LF,
// soft breaks VT): no-break spaces made blanks, each VT + CR LF dropped and
// each lone CR LF doubled.
QString ListingPlainText(const QString &plain);

// The programme holds a "Next time" heading (the listing asks about it).
bool HasNextTime(const QString &progText);

// "Dance titles": the titles of the dance rows (of the marked ones when two
// or more are marked), empty titles skipped, sorted by the stored title when
// asked; each shown with its article in front and ending CR LF.
QString TitlesText(const QList<ProgrammeItem> &rows, const QList<bool> &marks, bool sorted);
// How many dance rows are marked.
int MarkedDances(const QList<ProgrammeItem> &rows, const QList<bool> &marks);

// "Tunes for this band": the stored titles of the dances with OwnTune "Y"
// in the programmes of the band's events before the current one (events in
// date order, current its index); with ignoreOrg, those any event of the
// band for org holds are removed. Sorted.
QStringList BandTunes(const QList<EventRecord> &events, int current, const QString &org, bool ignoreOrg,
                      const DanceLookup &lookup, QChar sep);
