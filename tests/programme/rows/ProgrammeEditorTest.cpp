#include "tests/programme/ProgrammeTestHelpers.h"

#include "base/Cp1252.h"
#include "programme/rows/ProgrammeEditor.h"
#include "programme/text/ProgrammeText.h"

#include <gtest/gtest.h>

namespace {

const QChar Seps[] = {SepDot, SepEuro};

QList<ProgrammeItem> Rows(const char *text, QChar sep) { return ReadProgramme(Sep(text, sep), sep).items; }

// Rows: 0 note, 1 a, 2 heading Second, 3 b (recording 2), 4 c, 5 average.
const char *Two = "~N|hello~D|a|J|x~O|Second~D|b|R|y§2~D|c|S|z~";

struct ClipCase {
    const char *name;
    ClipCommand command;
    QList<int> marks;
    int thisIndex;
    bool averageAbove4;  // Shift+Down moved c below the average row
    const char *progText;
    const char *oldClip;
    bool keep;
    const char *clip;
    QList<int> released;
};

const ClipCase ClipCases[] = {
    {"selected rows in order", ClipCommand::Selected, {4, 1}, 1, false, Two, "", false, "~D|a|J|x~D|c|S|z", {}},
    {"selected none copies all", ClipCommand::Selected, {}, 1, false, Two, "", false,
     "~N|hello~D|a|J|x~O|Second~D|b|R|y§2~D|c|S|z", {}},
    {"all added to the kept clip", ClipCommand::All, {}, 1, false, Two, "~N|old", true,
     "~N|old~N|hello~D|a|J|x~O|Second~D|b|R|y§2~D|c|S|z", {}},
    {"section of a second-session dance", ClipCommand::Section, {}, 3, false, Two, "~N|old", false,
     "~O|Second~D|b|R|y§2~D|c|S|z", {}},
    {"section from the heading itself", ClipCommand::Section, {}, 2, false, Two, "", false,
     "~O|Second~D|b|R|y§2~D|c|S|z", {}},
    {"cut the first section", ClipCommand::CutSection, {}, 0, false, Two, "", false, "~N|hello~D|a|J|x", {1, 0}},
    {"cut past the moved average row", ClipCommand::CutSection, {}, 3, true, Two, "", false,
     "~O|Second~D|b|R|y§2~D|c|S|z", {5, 3, 2}},
    {"section without a selection copies all", ClipCommand::Section, {}, -1, false, "~D|a|J|x~", "", false,
     "~D|a|J|x", {}},
    {"nothing to copy keeps the clip", ClipCommand::All, {}, -1, false, "~", "~N|old", true, "~N|old", {}},
    {"nothing to copy, not kept, still kept", ClipCommand::All, {}, -1, false, "", "~N|old", false, "~N|old", {}},
};

} // namespace

TEST(ProgrammeEditor, ClipCommands) {
    for (const QChar sep : Seps)
        for (const ClipCase &c : ClipCases) {
            SCOPED_TRACE(c.name);
            QList<ProgrammeItem> rows = Rows(Two, sep);
            if (c.averageAbove4) rows.move(5, 4);
            QList<bool> marks(rows.size(), false);
            for (int m : c.marks) marks[m] = true;
            const ClipResult r = CopyToClip(c.command, rows, marks, c.thisIndex, Sep(c.progText, sep), sep,
                                            Sep(c.oldClip, sep), c.keep);
            EXPECT_EQ(r.clip, Sep(c.clip, sep));
            EXPECT_EQ(r.released, c.released);
        }
}

TEST(ProgrammeEditor, PasteAndMove) {
    const struct {
        const char *name;
        const char *text;
        int thisIndex;
        const char *result;
    } cases[] = {
        {"after the selection", "~D|a|J|x~D|b|J|x~", 0,
         "~D|a|J|x~N|Inserted ...~D|z|J|x~N|End inserted~D|b|J|x~"},
        {"no selection: in front", "~D|a|J|x~", -1, "~N|Inserted ...~D|z|J|x~N|End inserted~D|a|J|x~"},
        {"empty programme", "", 0, "~N|Inserted ...~D|z|J|x~N|End inserted~"},
    };
    for (const QChar sep : Seps) {
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(PasteClip(Sep(c.text, sep), sep, c.thisIndex, Sep("~D|z|J|x", sep)), Sep(c.result, sep));
        }
        // Move Section: cut the second section, swap two rows, click heading One.
        QList<ProgrammeItem> rows = Rows("~O|One~D|a|J|x~D|b|J|x~O|Two~D|c|J|x~O|Three~D|d|J|x~", sep);
        const ClipResult cut = CopyToClip(ClipCommand::CutSection, rows, {}, 4, QString(), sep, QString(), false);
        for (int i : cut.released) rows.removeAt(i);
        rows.swapItemsAt(1, 2);
        const QString text = WriteProgramme(rows, sep, QString());
        EXPECT_EQ(InsertBeforeRow(text, sep, 0, cut.clip),
                  Sep("~O|Two~D|c|J|x~O|One~D|b|J|x~D|a|J|x~O|Three~D|d|J|x~", sep));
    }
}

TEST(ProgrammeEditor, RowsReleased) {
    const QList<ProgrammeItem> rows = Rows("~N|hello~D|a|J|x~O|Second~D|||~D|c|S|z~D|||~", SepDot);
    const struct {
        const char *name;
        QList<int> got, want;
    } cases[] = {
        {"erase above a selected session heading", EraseSectionRows(rows, 2), {1, 0}},
        {"erase the section of a dance", EraseSectionRows(rows, 4), {5, 4, 3, 2}},
        {"erase with row 0 selected", EraseSectionRows(rows, 0), {1, 0}},
        {"erase on the average row alone", EraseSectionRows({Avg()}, 0), {}},
        {"erase selected", MarkedRows({true, false, true, true}), {3, 2, 0}},
        {"clear empties", EmptyDanceRows(rows), {5, 3}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.got, c.want);
    }
    EXPECT_EQ(SelectionAfterDelete(0, 0), -2);
    EXPECT_EQ(SelectionAfterDelete(3, 3), 2);
    EXPECT_EQ(SelectionAfterDelete(3, 1), 1);
    // Deleting the only real row leaves the average row, stored as nothing.
    EXPECT_EQ(StoredProgramme(WriteProgramme({Avg()}, SepDot, Sep("~D|a|J|x~", SepDot)), SepDot), QString());
}

TEST(ProgrammeEditor, BlankDancesKeepsNextTime) {
    const QString block = QStringLiteral("~O|Extras~D|||~D|||~D|||~D|||");
    const struct {
        const char *name;
        const char *text;
        const char *blanked;  // the rows after blanking, serialised
        bool last;
        QString extras;       // after Yes to "Add \"Extras\"?"
    } cases[] = {
        {"Next time in the middle", "~O|Club~D|a|J|x§3~O|Next time~D|b|R|y~O|Evening Dance~D|c|S|z§1~",
         "~O|Club~D|||~O|Extras~D|b|R|y~O|Evening Dance~D|||~", false,
         "~O|Club~D|||~O|Extras~D|b|R|y" + block + "~O|Evening Dance~D|||" + block + "~"},
        {"Next time (May) last", "~O|Club~D|a|J|x~O|Next time (May)~D|b|R|y~",
         "~O|Club~D|||~O|Extras~D|b|R|y~", true, "~O|Club~D|||~O|Extras~D|b|R|y~D|||~D|||~D|||~D|||~"},
        {"next time is no Next time", "~O|next time~D|b|R|y~", "~O|next time~D|||~", false,
         "~O|next time~D|||" + block + "~"},
    };
    for (const QChar sep : Seps)
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            const BlankResult r = BlankDances(Rows(c.text, sep));
            const QString text = WriteProgramme(r.rows, sep, QString());
            EXPECT_EQ(text, Sep(c.blanked, sep));
            EXPECT_EQ(r.lastWasNextTime, c.last);
            EXPECT_EQ(AddExtras(text, sep, r.rows, r.lastWasNextTime), Sep(c.extras.toUtf8().constData(), sep));
        }
}

TEST(ProgrammeEditor, NextTimeDancesOfCopiedEvent) {
    const struct {
        const char *name, *text, *result;
    } cases[] = {
        {"final section", "~D|a|J|x~O|Next time~D|b|R|y~D|c|S|z~", "~D|b|R|y~D|c|S|z~"},
        {"two sections", "~O|Next time~D|a|J|x~O|Club~D|q|J|x~O|Next time~D|b|R|y~", "~D|a|J|x~O|~D|b|R|y~"},
        {"none", "~D|a|J|x~O|Club~", ""},
        {"whole heading dropped", "~O|Next time (May)~D|a|J|x~", "~D|a|J|x~"},
        {"exact case only", "~O|next time~D|a|J|x~", ""},
        {"heading alone at the end", "~D|a|J|x~O|Next time~", ""},
    };
    for (const QChar sep : Seps)
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(NextTimeProgramme(Sep(c.text, sep), sep), Sep(c.result, sep));
        }
}

TEST(ProgrammeEditor, EnteredHeading) {
    const struct {
        const char *typed, *result;
    } cases[] = {{"interval", "Interval"},      {"break » 9:30", "Break  9:30"},
                 {"Interval »", "Interval "},   {"Club » 8:00", "Club » 8:00"},
                 {"intervals", "Intervals"},    {"the break", "the break"}};
    for (const auto &c : cases) EXPECT_EQ(EnteredHeading(QString::fromUtf8(c.typed)), QString::fromUtf8(c.result));
}
