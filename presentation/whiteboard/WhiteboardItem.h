#pragma once
// A whiteboard item (a dance, a formation or a figure) as held in memory and
// as stored in one "%" section of the settings file; no window needed.

#include <QList>
#include <QPair>
#include <QPoint>
#include <QString>
#include <QStringList>

class TIniFile;

// One dancer's place at one step: left, top and facing (0 up, clockwise in
// eighths).
struct StepPos {
    int x = 0;
    int y = 0;
    int dir = 0;
    bool operator==(const StepPos &) const = default;
};

// "x,y,dir".
QString StepText(const StepPos &p);
// "|" + the step texts joined by "|".
QString DancerLine(const QList<StepPos> &steps);

// Dancer numbers run 1-16: 1-8 men ("Man1".."Man8"), 9-16 women ("Wo1".."Wo8").
QString DancerName(int number);
// The picture for a facing: the diagonal one ("D" appended) for odd facings.
QString DancerPicture(int number, int dir);
// A facing turned by an eighth (turn -1 anticlockwise, +1 clockwise).
int TurnFacing(int dir, int turn);

struct WhiteboardItem {
    struct Dancer {
        int number = 0;
        QList<StepPos> steps;
    };
    QList<Dancer> dancers; // in the order the keys were read
    QPoint centre{637, 385};
    QString image; // empty: no picture
    int imageTop = 390;
    int imageLeft = 100;
    bool textOn = false;
    QString text; // with CR LF line ends
    int textTop = 450;
    int textLeft = 770;
    bool figure = false;
    QString comment;

    int storedSteps() const { return dancers.isEmpty() ? 0 : int(dancers.first().steps.size()); }
    Dancer *find(int number);
    // The in-memory lines "N=" + DancerLine.
    QStringList lines() const;
    // More than one step: the item was saved under its name.
    bool countsAsNamed() const;
};

inline constexpr int WhiteboardMaxCoordinate = 20000;

// "formation" under 3 steps (stored or current, the larger), else "figure"
// when marked, else "dance".
QString ItemKind(const WhiteboardItem &item, int currentStep);
// The step display: the current step and "of " + the step count.
QString StepCountText(const WhiteboardItem &item, int currentStep);

// Reads section "%" + name. Returns an empty text on success, else the one
// message to show (naming item and key); then the item is left empty. Lines
// cut short by older versions open with their whole steps, padded with
// their last, and a log line.
QString ReadWhiteboardItem(TIniFile &ini, const QString &name, WhiteboardItem &item);
// The same from "key=value" lines (library files and figures).
QString ParseWhiteboardItem(const QStringList &keyValues, const QString &name,
                            WhiteboardItem &item);

// The section's keys in the order a save writes them. A line of exactly two
// steps keeps only its second (set *keptFinal when that happened).
QList<QPair<QString, QString>> WhiteboardSectionValues(const WhiteboardItem &item,
                                                       bool *keptFinal = nullptr);

// Refuses a typed item name that cannot be a section: empty, ending in
// ".Bak", holding "]" or a line break. Returns the message, or empty.
QString CheckItemName(const QString &name);

// A settings text lacking any "[%" section line gets the two sample items.
bool NeedsSampleItems(const QString &iniText);
QString WithSampleItems(const QString &iniText);

// Chooser modes and the entries each lists (sorted, without "%").
enum class ChooserMode { Open, New, Figure };
QStringList ChooserEntries(TIniFile &ini, ChooserMode mode);
// The Large scaling: v, or v * 5 div 4.
int Scaled(int v, bool large);
// Button places of a chooser (left and top), from the start left, wrapping
// before the client width less 160.
QList<QPoint> ChooserPlaces(int count, int startLeft, int clientWidth, bool large);


// Saves the item under its name in one write: the backup section takes the
// old item section, the item section the new keys. Throws when the write
// fails; then item and backup are as they were.
void SaveWhiteboardItem(TIniFile &ini, const QString &name, const WhiteboardItem &item,
                        bool *keptFinal = nullptr);
// Exchanges an item and its backup in one write. Returns the message when
// there is no backup, else empty.
QString RestoreWhiteboardItem(TIniFile &ini, const QString &name);
// The library's kind word for a section: "Figure", "Dance" or "Formation".
QString LibraryKind(TIniFile &library, const QString &section);
// Copies the ticked library sections over the program's in one write, every
// key but those starting with "I" (picture keys naming files elsewhere). An
// item replaced is kept as its ".Bak" section, so Restore brings it back; an
// item that already holds the library's text is left alone with its backup.
void ImportWhiteboardItems(TIniFile &library, TIniFile &ini, const QStringList &sections);
// Inserts the figure's steps before the current step: dancers on the board
// do it from where they stand, the others stand still. Returns the number of
// steps inserted (0 when nothing happened).
int AddFigure(WhiteboardItem &item, int currentStep, const WhiteboardItem &figure);
