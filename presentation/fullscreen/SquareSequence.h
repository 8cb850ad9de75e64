#pragma once
// Stepping through a square (or longways) block danced without a
// walk-through: the block of rows, its check, the step panel's text and the
// next row for each Space. Rows are indices into the programme items.

#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>

// The nearest session heading above the row holds "without a walk" (any case).
bool InNoWalkThroughSession(const QList<ProgrammeItem> &rows, int current);

class SquareSequence {
public:
    // Starts the block ending at the current row. Gives the message to show
    // (help 57552) when the block cannot be stepped; the panels then hide.
    QString Initialise(const QList<ProgrammeItem> &rows, int current);
    // The step panel shows; Space steps only then.
    bool active() const { return panelShown; }
    // "Sequence initialised" shows while the block's first row is current,
    // until the sequence has ended (then the step panel alone says so).
    bool initialisedShown(int current) const { return panelShown && !ended && current == blockFirst; }
    // The step panel: "Br" + n on a break, the figure number, the position in
    // a longways block, or "Sequence ended".
    QString PanelText(const QList<ProgrammeItem> &rows, int current) const;
    // One Space: the row to show next (the current one once the sequence ended).
    int Step(const QList<ProgrammeItem> &rows, int current);
    // Heads and sides are exchanged for the row the last step showed.
    bool SwapDue() const;

    QChar FormatLetter;
    int FirstFigure = -1;
    int FirstBreak = -1; // -1: the block has no break
    int SavedPlace = -1;
    int SavedFigure = -1;
    QChar StepLetter = QLatin1Char('A');

private:
    bool panelShown = false;
    bool ended = false;
    int blockFirst = -1;
};
