#pragma once
// Instruction cards without windows: which lines of a dance's text go on
// which card, where each card stands on paper, and the card heading.
//
// One unit is used throughout: 96-dpi layout pixels (15 twips each) on screen
// and on paper alike; a printer only scales the painter.

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

inline constexpr int TwipsPerPixel100 = 1500;
inline constexpr int LayoutDpi = 96;
// Twips into layout pixels.
double TwipsToPixels(int twips);
int PixelsToTwips(double pixels);

// One wrapped line of the work copy: its top and bottom (layout pixels), the
// paragraph gap below it, and whether it ends a paragraph.
struct CardTextLine {
    double top = 0;
    double bottom = 0;
    double gap = 0;
    bool paraEnd = false;
};

// A card: the lines first .. first + count - 1 and the height they take.
struct CardSlice {
    int first = 0;
    int count = 0;
    double height = 0;
    int last() const { return first + count - 1; }
};

struct CardPagination {
    QList<CardSlice> cards;
    // The last line went to a further card so that the footer fits with it.
    bool lineMovedForFooter = false;
    // The footer fits under the last card (false shows a red "Footer").
    bool footerFits = true;
};

// Splits the lines into cards of cardHeight. A card is full when its lines
// with the gap below the last are taller than the card, the gap counting only
// under a line that ends a paragraph; a line taller than a card stays on a
// card of its own. Empty text gives one empty card. With footerHeight > 0
// (a footer with text) and moveForFooter (printing), a last card that cannot
// take the footer ends one line early, once, so that its last line goes with
// the footer to a further card; a footer that still does not fit stays where
// it is.
CardPagination PaginateCards(const QList<CardTextLine> &lines, double cardHeight, double footerHeight,
                             bool moveForFooter);

// The card settings in twips, as the layout reads them.
struct CardGeometry {
    int gapTop = 0, gapLeft = 0, dWidth = 0, dHeight = 0, vGap = 0, hGap = 0;
    int down = 1, across = 1;
};
struct CardGeometryRead {
    CardGeometry geometry;
    bool downAcrossEmpty = false; // both were set to 1
    bool notWhole = false;        // a value was no whole number; it and later ones keep their old values
    bool sizeMissing = false;     // no card width or height above 0: no card can be laid out
};
// Reads the eight card boxes in the order GapTop, GapLeft, DWidth, DHeight,
// VGap, HGap, Down, Across. Down or Across empty or below 1 sets both to 1.
CardGeometryRead ReadCardGeometry(const QStringList &card, const CardGeometry &previous = {});

// The messages of the reading above.
QString CardsDownAcrossMessage();
QString CardsNotWholeMessage();
QString CardsSizeMessage();

// Where cards go on paper during one print run.
class CardPlacer {
public:
    CardPlacer(const CardGeometry &g, bool firstPageOnly) : g_(g), firstPageOnly_(firstPageOnly) {}

    int CardPageNo = 1;
    int PrintRow = 0;
    int PrintColumn = 0;
    bool StopPrinting = false;

    // The top of the current card (twips): GapTop + 40 + row x (DHeight + VGap).
    int cardTop() const;
    // The left of the current card (twips).
    int cardLeft() const;
    // The card is printed: moves on. Returns true when a new page must be
    // started (the page is full and more follows); a full first page in
    // first-page mode stops instead.
    bool advance(bool moreFollows);

private:
    CardGeometry g_;
    bool firstPageOnly_;
};

// The card heading.
struct HeadingRun {
    int start = 0;
    int length = 0;
    double points = 12;
    bool bold = false;
    bool italic = false;
};
struct CardHeadingText {
    bool shown = false; // false with ShowTitles: the title is in the text
    QString text;
    QList<HeadingRun> runs;
};
struct CardHeadingInput {
    QString displayTitle;   // the title as shown
    QString movedArticle;   // an article moved to the front, "" for none
    QString style;
    bool showTitles = false;
    bool refine = false;
    int cardNo = 1;
    int templatePoints = 12; // from the template's size word
};
// The heading of a card. With Refine the title is bold (after "Break:  " for
// a break, whose first six characters are italic), 24 points on card 1 and
// 18 later, a moved article 15; both sizes shrink a point at a time while
// oneLine says the heading wraps, down to 8 points, where it may wrap.
// Otherwise plain text at the template's size.
CardHeadingText CardHeading(const CardHeadingInput &in, const std::function<bool(const CardHeadingText &)> &oneLine);

// The heading size of the template: the "\fs" nearest before the name of the
// Title placeholder (so "(*\fs28 Title\fs24*)" counts as "\fs28 (*Title*)")
// gives the half-points (all its digits); fallback when there is none.
int TemplateTitlePoints(const QString &templateText, int fallback);
