#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "programme/evaluation/Evaluation.h"
#include "tests/programme/ProgrammeTestHelpers.h"
#include "TestSupport.h"

#include <QFile>

namespace {

using Average = EvaluationResult::AverageNote;

DisplayColumns Columns(std::initializer_list<const char *> names) {
    DisplayColumns columns;
    for (const char *name : names)
        columns.append({QString::fromUtf8(name), 60});
    return columns;
}

// The shown event is Sunday 6 December 2026.
const QDate Shown(2026, 12, 6);

class EvaluationTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetDateState();
        in.columns = Columns({"Title", "Lvl", "Time", "Recent", "Called", "LastC", "LastH"});
        in.EDate = Shown;
        in.Org = QStringLiteral("Hall");
        in.separator = SepDot;
        in.dances = &dances;
        in.history = &history;
        in.settings.timeTable[3] = 15;
        // title, style, Lvl, Timing
        addDance("A", "Jig", "2", "10");
        addDance("B", "Reel", "2", "12");
        addDance("C", "Jig", "2", "");
        addDance("D3", "Jig", "3", "");
        addDance("Big", "Jig", "12", "");
        addDance("Brk", "Break", "", "");
        addDance("Brk5", "Tea Break", "", "5");
        addDance("T", "Jig", "3", "ten");
        addDance("X", "Jig", "x", "");
        addDance("Z", "Jig", "0", "");
        addDance("Waltz", "Waltz", "1", "", "5");
    }
    void TearDown() override {
        ResetDateState();
        QuillaryTest::TearDown();
    }

    void addDance(const char *title, const char *style, const char *lvl, const char *timing,
                  const char *called = "3") {
        const DanceKey key{QString::fromUtf8(title), QStringLiteral("Longways"),
                           QString::fromUtf8(style)};
        keys.insert(key.Title, key);
        dances.add(key, DanceFields{{"Lvl", QString::fromUtf8(lvl)},
                                    {"Timing", QString::fromUtf8(timing)},
                                    {"Called", QString::fromUtf8(called)}});
    }
    ProgrammeItem dance(const char *title) const {
        return ProgrammeItem::dance(keys.value(QString::fromUtf8(title)));
    }

    void addEvent(QList<EventRecord> &list, const QDate &date, const char *org,
                  const char *programme) {
        list.append({date, QString::fromUtf8(org), Sep(programme, SepDot)});
    }
    void before(int daysBefore, const char *org, const char *programme) {
        addEvent(earlier, Shown.addDays(-daysBefore), org, programme);
    }
    void after(int daysAfter, const char *org, const char *programme) {
        addEvent(later, Shown.addDays(daysAfter), org, programme);
    }

    EvaluationResult evaluate(const QList<ProgrammeItem> &rows) {
        in.rows = rows;
        // The diary in date order, the shown event among them.
        std::sort(earlier.begin(), earlier.end(),
                  [](auto &a, auto &b) { return a.EDate < b.EDate; });
        history.events = earlier;
        history.events.append({in.EDate, in.Org, QString()});
        history.events += later;
        history.shown = int(earlier.size());
        return Evaluate(in);
    }

    static QStringList texts(const EvaluationResult &r, const char *name) {
        QStringList out;
        for (const RowEvaluation &row : r.rows)
            out.append(row.text(QString::fromUtf8(name)));
        return out;
    }

    QStringList logLines() const {
        QFile f(DataFolder + QStringLiteral("Log.Txt"));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    MemoryDanceLookup dances;
    MemoryEventHistory history;
    QList<EventRecord> earlier, later;
    QHash<QString, DanceKey> keys;
    EvaluationInputs in;
};

// ---- the clock ----

TEST_F(EvaluationTest, ClockTable) {
    struct Case {
        const char *name;
        const char *eTime;
        QList<const char *> dances;
        QStringList times;
        const char *average;
    };
    const Case cases[] = {
        // Timing 10, 12 and empty (level 2, 10 minutes); ":" from the event's time
        {"colon",
         "7:30",
         {"A", "B", "C"},
         {"7:30", "7:40", "7:52"},
         "Average Level: 2    Calculated finish time: 8:02"},
        {"range with dots",
         "Dance 7.30pm-10.30pm",
         {"A", "B", "C"},
         {"7.30", "7.40", "7.52"},
         "Average Level: 2    Calculated finish time: 8.02"},
        // level 3 takes 15 minutes; "8pm" writes no separator, so "." is used
        {"time table",
         "8pm",
         {"D3", "D3", "C"},
         {"8.00", "8.15", "8.30"},
         "Average Level: 2.6    Calculated finish time: 8.40"},
        // "Break" in the Style takes no time unless Timing gives one; level 0 takes 10
        {"break styles",
         "7.30",
         {"A", "Brk", "Brk5", "Z", "C"},
         {"7.30", "7.40", "7.40", "7.45", "7.55"},
         "Average Level: 2    Calculated finish time: 8.05"},
        {"no start time", "Evening", {"A", "B", "C"}, {"", "", ""}, "Average Level: 2"},
    };
    for (const Case &c : cases) {
        QList<ProgrammeItem> rows;
        for (const char *d : c.dances)
            rows.append(dance(d));
        rows.append(Avg());
        in.ETime = QString::fromUtf8(c.eTime);
        const EvaluationResult r = evaluate(rows);
        QStringList expected = c.times;
        expected.append(QString());
        EXPECT_EQ(texts(r, "Time"), expected) << c.name;
        EXPECT_EQ(r.averageNote, Average::Set) << c.name;
        EXPECT_EQ(r.averageText, QString::fromUtf8(c.average)) << c.name;
    }
}

TEST_F(EvaluationTest, WithoutATimeColumnOnlyHeadingsMoveTheClock) {
    in.columns = Columns({"Title", "Lvl", "Recent", "LastC", "LastH"});
    in.ETime = QStringLiteral("7.30-10.30");
    const EvaluationResult r = evaluate({H("Evening"), dance("A"), dance("Big"), H("Interval"),
                                         dance("C"), H("Second half 9:00"), dance("A"), Avg()});
    ASSERT_FALSE(r.stopped()); // a level of two characters is not checked
    for (const RowEvaluation &row : r.rows)
        EXPECT_EQ(row.label(QStringLiteral("Time")), nullptr);
    // Session 7.30 to 10.30, 30 minutes: (630 - 450 - 30 + 15) div 2 = 82, 532 rounds to 530.
    EXPECT_EQ(r.rows[3].caption, QStringLiteral("Interval » 8.50 - 9.20"));
    // Levels 2, 12, 2, 2; the last heading set the clock and its separator.
    EXPECT_EQ(r.averageText, QStringLiteral("Average Level: 4.5    Calculated finish time: 9:00"));
}

// ---- pause headings ----

TEST_F(EvaluationTest, PauseHeadingTable) {
    struct Case {
        const char *eTime;
        const char *heading;
        const char *caption;         // nullptr: unchanged
        const char *next;            // the Time of the dance after the pause
        const char *start = "19.30"; // the pause's own Time
    };
    const Case cases[] = {
        // 1350 - 1170 - 30 + 15 = 165, div 2 = 82; 1252 ends in 2 and falls to 1250
        {"19.30-22.30", "Interval", "Interval » 20.50 - 21.20", "20.00"},
        // 135 div 2 = 67; 1237 ends in 7 and rises to 1240
        {"19.30-22.00", "Interval", "Interval » 20.40 - 21.10", "20.00"},
        // 150 div 2 = 75; 1245 stays
        {"19.30-22.15", "Interval", "Interval » 20.45 - 21.15", "20.00"},
        // Break is 20 here: 175 div 2 = 87; 1257 rises to 1260
        {"19.30-22.30", "Break", "Break » 21.00 - 21.20", "19.50"},
        {"19.30-22.30", "Break 10 min", nullptr, "19.40"},
        {"19.30-22.30", "Break 10min", nullptr, "19.40"},
        // a range in the text gives the length; its separator is used from here on
        {"19.30-22.30", "Interval 9.00-9.20", nullptr, "19.50"},
        {"19.30-22.30", "Break 9:00-9:15", nullptr, "19:45", "19:30"},
    };
    in.settings.Break = 20;
    for (const Case &c : cases) {
        in.ETime = QString::fromUtf8(c.eTime);
        const EvaluationResult r = evaluate({H("Evening Dance"), H(c.heading), dance("C"), Avg()});
        EXPECT_EQ(r.rows[1].caption,
                  c.caption ? std::optional<QString>(QString::fromUtf8(c.caption)) : std::nullopt)
            << c.heading;
        EXPECT_EQ(r.rows[2].text(QStringLiteral("Time")), QString::fromUtf8(c.next)) << c.heading;
        // the pause shows when it starts, in black and not bold
        const LabelValue *time = r.rows[1].label(QStringLiteral("Time"));
        ASSERT_NE(time, nullptr);
        EXPECT_EQ(time->text, QString::fromUtf8(c.start)) << c.heading;
        EXPECT_EQ(time->fontColour, Black);
        EXPECT_EQ(time->bold, false);
    }
}

TEST_F(EvaluationTest, PauseRightAfterAPauseTakesNoTime) {
    in.ETime = QStringLiteral("19.30-22.30");
    const EvaluationResult r =
        evaluate({H("Evening Dance"), H("Interval"), H("Break"), dance("C"), Avg()});
    EXPECT_EQ(r.rows[2].caption, std::nullopt);
    EXPECT_EQ(texts(r, "Time"), QStringList({"19.30", "19.30", "20.00", "20.00", ""}));
}

TEST_F(EvaluationTest, StatedPauseLengthTable) {
    const std::pair<const char *, int> cases[] = {
        {"Break 10  min", 0},
        {"Interval 05min", 5},
        {"Interval 120min", 20},
        {"Interval 15 mins", 15},
        {"Break", 0},
        {"Break min", 0},
        {"min", 0},
        {"Break 3min, then 10 min", 3},
    };
    for (const auto &[text, length] : cases)
        EXPECT_EQ(StatedPauseLength(QString::fromUtf8(text)), length) << text;
}

// ---- spare rows ----

TEST_F(EvaluationTest, SpareHeadingsStopTimesAndTheAverage) {
    for (const char *spare : {"Extras", "next time", "EXTRAS if time"}) {
        in.ETime = QStringLiteral("7.30");
        const EvaluationResult r =
            evaluate({dance("A"), H(spare), dance("B"), dance("D3"), H("Second half"), dance("C"),
                      N("see www|x"), dance("A"), Avg()});
        // Spare dances show no time and take none; the next heading ends them,
        // but not their effect on the average. A note with "|" takes 10 minutes.
        EXPECT_EQ(texts(r, "Time"),
                  QStringList({"7.30", "7.40", "", "", "7.40", "7.40", "", "8.00", ""}))
            << spare;
        EXPECT_EQ(
            r.averageText,
            QStringLiteral("Average Level (ignoring Extras): 2    Calculated finish time: 8.10"))
            << spare;
    }
}

// ---- the average ----

TEST_F(EvaluationTest, AverageTable) {
    struct Case {
        QList<const char *> dances;
        const char *average; // nullptr: the row goes
    };
    const Case cases[] = {
        {{"A", "D3", "D3"}, "Average Level: 2.6"},   // 8 x 10 div 3 = 26
        {{"Waltz", "A", "A"}, "Average Level: 1.6"}, // 50 div 3 = 16: cut, not rounded
        {{"A", "Waltz", "D3"}, "Average Level: 2"},
        {{"Z", "Brk", "X", "D3"}, "Average Level: 3"}, // 0, empty and "x" not counted
        {{"Z", "Brk", "X"}, nullptr},
        {{}, nullptr},
    };
    in.ETime = QString();
    for (const Case &c : cases) {
        QList<ProgrammeItem> rows;
        for (const char *d : c.dances)
            rows.append(dance(d));
        rows.append(Avg());
        const EvaluationResult r = evaluate(rows);
        if (c.average) {
            EXPECT_EQ(r.averageNote, Average::Set) << c.average;
            EXPECT_EQ(r.averageText, QString::fromUtf8(c.average));
        } else {
            EXPECT_EQ(r.averageNote, Average::Remove) << c.dances.size();
        }
    }
}

TEST_F(EvaluationTest, TwoCharacterLevelStopsAndKeepsRowsDone) {
    before(30, "Hall", "~D|A|Longways|Jig~");
    in.ETime = QStringLiteral("7.30");
    const EvaluationResult r = evaluate({dance("A"), dance("B"), dance("Big"), dance("C"), Avg()});
    ASSERT_TRUE(r.stopped());
    EXPECT_EQ(r.stopMessage, QStringLiteral("Big\rLevel must be 1-9"));
    EXPECT_EQ(r.stoppedAt, 2);
    EXPECT_EQ(texts(r, "Time"), QStringList({"7.30", "7.40", "7.52", "", ""}));
    EXPECT_EQ(r.rows[2].text(QStringLiteral("Lvl")), QStringLiteral("12"));
    EXPECT_TRUE(r.rows[3].labels.isEmpty());
    EXPECT_EQ(r.averageNote, Average::Unchanged);
    EXPECT_EQ(r.rows[0].text(QStringLiteral("LastC")), QString()); // no history after a stop
}

TEST_F(EvaluationTest, TextThatIsNoNumberCountsAsEmptyWithALogLine) {
    WriteLog(QStringLiteral("START"));
    in.ETime = QStringLiteral("7.30");
    // T: Timing "ten", level 3 takes 15; X: level "x" takes level 0's 10.
    const EvaluationResult r = evaluate({dance("T"), dance("X"), dance("C"), Avg()});
    ASSERT_FALSE(r.stopped());
    EXPECT_EQ(texts(r, "Time"), QStringList({"7.30", "7.45", "7.55", ""}));
    EXPECT_EQ(r.rows[1].text(QStringLiteral("Lvl")), QStringLiteral("x"));
    EXPECT_EQ(r.averageText, QStringLiteral("Average Level: 2.5    Calculated finish time: 8.05"));
    const QStringList lines = logLines().filter(QStringLiteral("Not a number"));
    EXPECT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.value(0).endsWith(QStringLiteral("Not a number in Timing of T: ten")));
    EXPECT_TRUE(lines.value(1).endsWith(QStringLiteral("Not a number in Lvl of X: x")));
}

TEST_F(EvaluationTest, FieldColumnsComeFromTheCatalogue) {
    in.columns = Columns({"Title", "Format", "Lvl", "Called", "Notes", "Time"});
    const EvaluationResult r =
        evaluate({dance("B"),
                  ProgrammeItem::dance(QStringLiteral("Gone"), QStringLiteral("Square"), QString()),
                  D("", "", ""), Avg()});
    EXPECT_EQ(r.rows[0].labels.keys(), QStringList({"Called", "Lvl", "Notes", "Time"}));
    EXPECT_EQ(r.rows[0].text(QStringLiteral("Lvl")), QStringLiteral("2"));
    EXPECT_EQ(r.rows[1].text(QStringLiteral("Lvl")), QString()); // not in the catalogue
    EXPECT_TRUE(r.rows[2].labels.isEmpty());                     // a blank dance is left alone
}

// ---- history ----

TEST_F(EvaluationTest, LastCalledNearestFirstRedWithin21Days) {
    before(66, "Hall", "~D|A|Longways|Jig~");            // Thu 1-Oct-26
    before(22, "Hall", "~D|B|Longways|Reel~");           // Sat 14-Nov-26
    before(21, "Other", "~O|Evening~D|A|Longways|Jig~"); // Sun 15-Nov-26
    const EvaluationResult r = evaluate({dance("A"), dance("B"), Avg()});

    EXPECT_EQ(r.rows[0].text(QStringLiteral("LastC")), QStringLiteral("15-Nov-26"));
    EXPECT_EQ(r.rows[0].label(QStringLiteral("LastC"))->colour, Red);
    EXPECT_EQ(r.rows[0].lastCHint, QStringLiteral("Last called: Sun 15-Nov-26 for Other"));
    EXPECT_EQ(r.rows[0].text(QStringLiteral("LastH")), QStringLiteral("1-Oct-26")); // this Org only
    EXPECT_EQ(r.rows[0].text(QStringLiteral("Recent")), QStringLiteral("2"));

    EXPECT_EQ(r.rows[1].text(QStringLiteral("LastC")), QStringLiteral("14-Nov-26"));
    EXPECT_EQ(r.rows[1].label(QStringLiteral("LastC"))->colour, std::nullopt);
}

TEST_F(EvaluationTest, RecentPeriodIncludesItsLastDay) {
    struct Case {
        int cPeriod, daysBefore;
        const char *recent;
    };
    // 16 months of 30.4375 days are 487 days exactly; 18 are 547.875.
    const Case cases[] = {{16, 487, "1"}, {16, 488, ""}, {18, 547, "1"}, {18, 548, ""}};
    for (const Case &c : cases) {
        earlier.clear();
        before(c.daysBefore, "Hall", "~D|C|Longways|Jig~");
        in.settings.CPeriod = c.cPeriod;
        const EvaluationResult r = evaluate({dance("C"), Avg()});
        EXPECT_EQ(r.rows[0].text(QStringLiteral("Recent")), QString::fromUtf8(c.recent))
            << c.daysBefore;
        EXPECT_FALSE(r.rows[0].text(QStringLiteral("LastC")).isEmpty()); // called, recent or not
    }
}

TEST_F(EvaluationTest, RecentTurnsGreenAboveSix) {
    for (int calls : {6, 7}) {
        earlier.clear();
        for (int k = 0; k < calls; ++k)
            before(40 + 30 * k, "Club", "~D|C|Longways|Jig~");
        const EvaluationResult r = evaluate({dance("C"), Avg()});
        const LabelValue *recent = r.rows[0].label(QStringLiteral("Recent"));
        ASSERT_NE(recent, nullptr);
        EXPECT_EQ(recent->text, QString::number(calls));
        EXPECT_EQ(recent->colour, calls > 6 ? std::optional<Rgb>(Green) : std::nullopt);
    }
}

TEST_F(EvaluationTest, WhatDoesNotCountAsCalled) {
    // A "Jig Set" is another dance than a "Jig"; a dance below "Next time" was
    // kept for later; a later heading ends that.
    before(10, "Hall",
           "~O|Evening~D|A|Longways|Jig Set~D|Waltz|Longways|Waltz~O|Next time~D|B|Longways|Reel~"
           "O|Second half~D|C|Longways|Jig~");
    const EvaluationResult r =
        evaluate({dance("A"), dance("B"), dance("C"), dance("Waltz"), Avg()});
    EXPECT_EQ(texts(r, "LastC"), QStringList({"", "", "26-Nov-26", "", ""}));
    EXPECT_EQ(texts(r, "Recent"), QStringList({"", "", "1", "", ""}));
    // A waltz shows neither level nor count.
    EXPECT_EQ(r.rows[3].text(QStringLiteral("Lvl")), QString());
    EXPECT_EQ(r.rows[3].text(QStringLiteral("Called")), QString());
    EXPECT_EQ(r.rows[2].text(QStringLiteral("Called")), QStringLiteral("3"));
}

TEST_F(EvaluationTest, RepeatedTitleShowsTodayExceptWaltz) {
    before(10, "Hall", "~D|A|Longways|Jig~");
    const EvaluationResult r =
        evaluate({dance("A"),
                  ProgrammeItem::dance(QStringLiteral("A"), QStringLiteral("Square"),
                                       QStringLiteral("Reel")),
                  dance("Waltz"), dance("Waltz"), Avg()});
    EXPECT_EQ(texts(r, "LastH"), QStringList({"26-Nov-26", "Today", "", "", ""}));
    EXPECT_EQ(r.rows[1].label(QStringLiteral("LastH"))->colour, Red);
    EXPECT_EQ(r.rows[0].label(QStringLiteral("LastH"))->colour, std::nullopt);
}

TEST_F(EvaluationTest, UndatedEventEndsTheBackwardScan) {
    for (bool undatedBetween : {false, true}) {
        earlier.clear();
        addEvent(earlier, QDate(2026, 11, 1), "Hall", "~D|A|Longways|Jig~");
        if (undatedBetween) addEvent(earlier, QDate(4900, 1, 1), "Hall", "~N|no dances yet~");
        in.EDate = QDate(4900, 1, 1);
        const EvaluationResult r = evaluate({dance("A"), Avg()});
        EXPECT_EQ(r.rows[0].text(QStringLiteral("LastC")),
                  undatedBetween ? QString() : QStringLiteral("1-Nov-26"));
    }
}

TEST_F(EvaluationTest, BookedWithin21DaysTurnsOrange) {
    before(35, "Hall", "~D|A|Longways|Jig~");
    after(14, "Club", "~D|A|Square|Reel~O|Next time~D|B|Longways|Reel~"); // Sun 20-Dec-26
    after(21, "Fest", "~D|C|Longways|Jig~O|Extras~D|B|Longways|Reel~");   // Sun 27-Dec-26
    after(22, "Fest", "~D|D3|Longways|Jig~");
    const EvaluationResult r = evaluate({dance("A"), dance("B"), dance("C"), dance("D3"), Avg()});

    // any Format and Style of the title; the date called stays
    EXPECT_EQ(r.rows[0].text(QStringLiteral("LastC")), QStringLiteral("1-Nov-26"));
    EXPECT_EQ(r.rows[0].label(QStringLiteral("LastC"))->colour, Orange);
    EXPECT_EQ(r.rows[0].lastCHint, QStringLiteral("To be called: Sun 20-Dec-26 for Club"));
    // below "Next time", or "Extras" when there is no "Next time": not booked
    EXPECT_EQ(r.rows[1].lastCHint, std::nullopt);
    EXPECT_EQ(r.rows[2].lastCHint, QStringLiteral("To be called: Sun 27-Dec-26 for Fest"));
    // 22 days ahead is too far
    EXPECT_EQ(r.rows[3].label(QStringLiteral("LastC"))->colour, std::nullopt);
}

// ---- the time table ----

TEST_F(EvaluationTest, LoadTimeTable) {
    const QStringList nine{"1=5", "2=8", "3= 12", "4=15", "5=15", "x=18", "7=20", "8=20", "9=25"};
    EXPECT_EQ(LoadTimeTable(nine), (TimeTable{10, 5, 8, 12, 15, 15, 18, 20, 20, 25}));
    EXPECT_EQ(LoadTimeTable(nine.mid(1)), DefaultTimeTable);
    EXPECT_EQ(LoadTimeTable(nine + QStringList{"10=30"}), DefaultTimeTable);

    WriteLog(QStringLiteral("START"));
    QStringList bad = nine;
    bad[3] = QStringLiteral("4=ten");
    EXPECT_EQ(LoadTimeTable(bad), (TimeTable{10, 5, 8, 12, 10, 15, 18, 20, 20, 25}));
    const QStringList lines = logLines().filter(QStringLiteral("Not a number"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("4=ten")));
}

} // namespace
