#pragma once
// The contra-figures analysis: which of the known figures a dance's
// instructions name, the grid of a programme section's dances against the
// figures, the must / must-not marks that find other suitable dances, and
// the step-by-step view of how a text is normalised before matching.

#include "programme/text/ProgrammeItem.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

class Database;

// The 30 figure names in match order; a figure is its index.
const QStringList &ContraFigures();
// The 34 (old, new) pairs that normalise a text before matching, in order.
const QList<QPair<QString, QString>> &ContraReplacements();

// The text after every replacement, each applied everywhere ignoring case.
QString NormaliseContraText(const QString &plain);
// The figures a plain instruction text names, in table order, each once.
// Every occurrence of a found name is blotted out, so that a shorter figure
// cannot match the same words.
QList<int> AnalyseFigures(const QString &plain);

struct ContraEntry {
    QString title;
    QList<int> figures;
};

// The candidate dances with their figures.
class ContraData {
public:
    QList<ContraEntry> entries;
    // "|" then title (">" index)* ">|" per dance.
    QString toString() const;
    // The first entry of that title, ignoring case; null when none.
    const ContraEntry *find(const QString &title) const;
    // The titles holding every figure of must and none of mustNot, sorted.
    QStringList matching(const QList<int> &must, const QList<int> &mustNot) const;
};

// The candidates of the catalogue: dances with instructions whose Style is
// "American", "Break" or begins "Patter". Analyses of unchanged texts are
// kept for the run.
ContraData ReadContraData(Database &db);
// Forgets the kept analyses (tests, benchmarks).
void ClearContraCache();

// One candidate dance as the information panel shows it.
struct ContraDance {
    QString Title, Format, Style, Instructions;
    bool found = false;
};
// The first candidate of that title (and format and style when given).
ContraDance ReadContraDance(Database &db, const QString &title, const QString &format = {},
                            const QString &style = {});

// The Extras answer: "" until asked, then "Y" or "N"; blank again whenever
// another event is shown.
extern QString ContraExtrasAnswer;

// The entries of the dances of the selected row's section, in programme
// order: from the session heading at or before thisIndex to the next one.
// An "Extras" heading asks askExtras once (the answer kept); No ends the
// section there.
QList<ContraEntry> SectionEntries(const QList<ProgrammeItem> &items, int thisIndex, const ContraData &data,
                                  const std::function<bool()> &askExtras);

// The grid: column 0 the titles, then one column per used figure; the
// figures no dance uses become labels, last figure first.
struct ContraGrid {
    QList<int> columns;        // figure of grid column k + 1
    QList<int> unused;         // figures of the unused labels, in line order
    QStringList titles;        // per dance row, as shown
    QList<QList<bool>> marks;  // per dance row, per column
    QList<int> totals;         // per column
    int columnCount() const { return int(columns.size()) + 1; }
    // The figure of a handle: a grid column (1..), else an unused label
    // (column count + position, the caption label being 0). -1 when none.
    int figureOf(int handle) const;
};
ContraGrid BuildContraGrid(const QList<ContraEntry> &kept);

// A header broken at the blank nearest its middle (the later one on a tie),
// the two lines joined by CR; a name without a blank stays whole.
QString SplitHeader(const QString &name);

// The must / must-not marks on handles: a click cycles unmarked -> must ->
// must not -> unmarked.
class ContraMarks {
public:
    enum State { None, Must, MustNot };
    void click(int handle);
    State state(int handle) const;
    bool empty() const { return must.isEmpty() && mustNot.isEmpty(); }
    void clear() { must.clear(), mustNot.clear(); }
    QList<int> must, mustNot;
};

// "Show process": one replacement per press.
class ContraProcess {
public:
    // First press: the text taken, the first replacement that applies found.
    void start(const QString &plain);
    // Later presses: the current replacement applied, on to the next.
    void press();
    bool running() const { return step >= 0 && step < int(ContraReplacements().size()); }
    int step = -1;
    QString text;

private:
    void advance();
};
