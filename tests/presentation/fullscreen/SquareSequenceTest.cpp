#include "presentation/fullscreen/SquareSequence.h"

#include <gtest/gtest.h>

namespace {
// One letter a row: B a square break, F a square figure, L longways, N a note,
// below a session without a walk-through ("w" first: a session with one).
QList<ProgrammeItem> Rows(const QString &code) {
    QList<ProgrammeItem> rows{ProgrammeItem::heading(code.startsWith('w') ? "Evening" : "Squares Without a Walk-through")};
    for (QChar c : code.mid(code.startsWith('w') ? 1 : 0)) {
        if (c == 'N') rows << ProgrammeItem::note("tea");
        else rows << ProgrammeItem::dance(QString(c), c == 'L' ? "Longways" : "Square", c == 'B' ? "Break" : "Reel");
    }
    return rows;
}
} // namespace

// Space after Space from a row: the panel's text at each row, "x" where
// heads and sides are exchanged, "*" where "Sequence initialised" shows too,
// or the message the block gives.
TEST(SquareSequenceTest, RunsTable) {
    struct Case { const char *rows; int start, spaces; const char *want; };
    const Case cases[] = {
        {"BFFFF", 1, 13, "Br1* 1 2 Br1* 3x 4x Br1* 3 4 Br1* 1x 2x Br1* Sequence ended"},
        {"FFFF", 1, 9, "1* 2 3x 4x 3 4 1x* 2x Sequence ended Sequence ended"},
        {"BBFFFF", 1, 6, "Br1* 1 2 Br2 3x 4x Br1*"},
        {"FFF", 1, 1, "No-walkthrough square should have 4 figures, not 3"},
        {"BFFBFF", 1, 1, "The Breaks all need to come before the Figures."},
        {"BNFFFF", 1, 1, "No figure found after break(s)"},
        {"NLLL", 3, 3, "2 3 1* 2"},
        {"wLLL", 2, 1, "inactive"},
    };
    for (const Case &c : cases) {
        const QList<ProgrammeItem> rows = Rows(c.rows);
        SquareSequence seq;
        const QString message = seq.Initialise(rows, c.start);
        QString got = message;
        int current = c.start;
        for (int i = 0; message.isEmpty() && i <= c.spaces; ++i) {
            if (!seq.active()) { got = "inactive"; break; }
            if (i) current = seq.Step(rows, current);
            got += (i ? " " : "") + seq.PanelText(rows, current) + (seq.SwapDue() ? "x" : "") +
                   (seq.initialisedShown(current) ? "*" : "");
        }
        EXPECT_EQ(got, QString(c.want)) << c.rows;
    }
}
