#pragma once
// The geometry and colours of the programme rows, worked out without any
// window so that tests check them directly.

#include "base/Cp1252.h"
#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>

// Height shared by every programme row: 16, or 16 x 10000 div ScreenScale + 3
// when ScreenScale is above 0; then x 3 div 2 with the Large option.
int RowHeight(int screenScale, bool large);

// One key of the [Display] section: a column of the dance rows.
struct DisplayColumn {
    QString name;
    int width = 999;
};
using DisplayColumns = QList<DisplayColumn>;

// The width a [Display] value gives: its number, 999 when it has none.
int DisplayWidth(const QString &value);
bool HasDisplayColumn(const DisplayColumns &columns, const QString &name);
int DisplayColumnWidth(const DisplayColumns &columns, const QString &name);

// Tags of the labels of a dance row: 1 Title, Format and Style; 0 a Dances
// field; 2 a computed column ("LastC", "LastH"); 9 "Recent"; 6 "Time".
enum LabelTag { FieldTag = 0, KeyTag = 1, ComputedTag = 2, TimeTag = 6, RecentTag = 9 };
int ColumnTag(const QString &name);

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect &) const = default;
};

// One child of a row: the "+" label, a column label or a red separator line.
struct RowChild {
    enum Kind { Action, Column, Separator } kind = Column;
    QString name;  // column name; empty for the others
    int tag = 0;
    PixelRect rect;
    bool operator==(const RowChild &) const = default;
};

struct RowGeometry {
    int height = 0;
    QList<RowChild> children;
};

// Integer scaling that rounds to nearest, as the windows scale by a ratio.
int MulDiv(int value, int numerator, int denominator);
// Scales a child's left and right edges, and top and bottom edges when
// vertical is set, by numerator / denominator.
PixelRect ScaleRect(const PixelRect &rect, int numerator, int denominator, bool vertical = true);

// The options that shape the rows.
struct RowScale {
    int screenScale = 0;  // screen width x 10000 div the design width; 0 = none
    bool toFit = false;   // "To fit": scale rows by screenScale / 10000
    bool large = false;   // "Large"
};

// The settings the rows are built from.
struct RowSettings {
    QChar separator = SepDot; // ProgrammeSeparator
    DisplayColumns display;   // the [Display] section
    RowScale scale;           // ScreenScale, "To fit", "Large"
};

// The row of the programme in hand, -1 for none.
extern int ThisIndex;

// A dance row: "+" at (1, 1, 11, h - 2); from x = 14 each column at x with its
// width, a 1-pixel separator after it, then x + 4. With "To fit" everything is
// scaled; a new programme row (growLarge) is widened 3/2 with "Large". A child
// that ends up exactly 2 pixels wide is set to 1.
RowGeometry DanceRowGeometry(const DisplayColumns &columns, const RowScale &scale, bool growLarge);
// A heading row: "+" and, when [Display] has "Time", the "Time" label at 14
// with its separator.
RowGeometry HeadingRowGeometry(const DisplayColumns &columns, const RowScale &scale);
// A notes row before its memo is fitted: height 26 (scaled with "To fit").
RowGeometry NotesRowGeometry(const RowScale &scale);

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
};

inline constexpr Rgb RowGrey{214, 211, 206};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb Cyan{0, 255, 255};
inline constexpr Rgb Orange{255, 176, 0};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Green{0, 255, 0};
inline constexpr Rgb SelectedRow{177, 140, 255};
inline constexpr Rgb SelectedMemo{238, 230, 255};

struct RowColour {
    Rgb background;
    Rgb font;
    Rgb memo;          // notes rows: the memo's background
    bool selected = false;
    bool operator==(const RowColour &) const = default;
};

// The colour of every row: grey dance rows, white for an empty Title, cyan for
// Format "Technique", orange below a "Next time" heading until the next session
// heading; notes grey with a white memo; headings orange ("Next time"), blue
// with white text (session) or yellow with blue text; the selected row 177,
// 140, 255 (its memo 238, 230, 255). selected: index in rows, or -1.
QList<RowColour> RowColours(const QList<ProgrammeItem> &rows, int selected);
// The same with every marked row in the selection colour.
QList<RowColour> RowColours(const QList<ProgrammeItem> &rows, const QList<bool> &marked);
