#include "core/views/Navigation.h"

#include <gtest/gtest.h>

// The walk along the programme rows: T a titled dance row, "-" any other row.
TEST(Navigation, ProgrammeWalk) {
    struct Row {
        const char *rows;
        int thisIndex, direction;
        bool fullScreen;
        int index;
        bool found;
    } table[] = {
        {"T-T", 0, 1, false, 2, true},   // an untitled row is skipped
        {"T-T", 2, 1, false, 2, false},  // the end: the index stays
        {"T--", 0, 1, false, 0, false},  // nothing titled further on
        {"-TT", 1, -1, false, 1, false}, // the start
        {"T-T", 2, -1, true, 1, true},   // full screen stops at once
        {"-T", -1, 0, false, 0, true},   // a plain select starts at 0
        {"", -1, 0, false, 0, false},
    };
    for (const Row &r : table) {
        QList<bool> titled;
        for (const char *c = r.rows; *c; ++c) titled.append(*c == 'T');
        const RowWalk w = WalkProgramme(titled, r.thisIndex, r.direction, r.fullScreen);
        EXPECT_EQ(w.found, r.found) << r.rows << " from " << r.thisIndex;
        EXPECT_EQ(w.index, r.index) << r.rows << " from " << r.thisIndex;
    }
}

TEST(Navigation, PageStepSkipsHiddenTabsAndWraps) {
    const QList<bool> shown = {false, true, true, true, false}; // Rules and Folders hidden
    EXPECT_EQ(StepPage(shown, 1, true), 2);
    EXPECT_EQ(StepPage(shown, 3, true), 1);
    EXPECT_EQ(StepPage(shown, 1, false), 3);
    EXPECT_EQ(StepPage({false, true}, 1, true), 1);
}

TEST(Navigation, Captions) {
    EXPECT_EQ(PageCaption(PageKind::Rules, "Ceilidh"), "Quillary: Rules for Ceilidh");
    EXPECT_EQ(PageCaption(PageKind::Rules), "Quillary: Rules");
    EXPECT_EQ(NotesCaption(1), "Notes (1 line)");
    EXPECT_EQ(NotesCaption(0), "No Notes");
    EXPECT_EQ(NotesCaption(5), "Notes (5 lines)");
}

// Values that would cut the link are encoded; blanks in a postcode are "+"
// and "&" in the subject "and".
TEST(Navigation, Addresses) {
    const QString map = "https://www.google.com/maps?f=q&source=s_q&hl=en&geocode=&q=";
    EXPECT_EQ(MapAddress("AB1 2CD"), map + "AB1+2CD");
    EXPECT_EQ(MapAddress("AB1#2?"), map + "AB1%232%3F");
    EXPECT_EQ(MailAddress("a@b.org", "Smith & Co", "Ball #2", "Sun 6-Dec-26"),
              "mailto:a@b.org?Subject=Smith%20and%20Co%20Ball%20%232%20Sun%206-Dec-26");
    EXPECT_EQ(WebAddress("www.x.org/a"), "http://www.x.org/a");
    EXPECT_EQ(WebAddress("HTTPS://x.org"), "HTTPS://x.org");
}
