#include "base/Clock.h"
#include "core/startup/Settings.h"
#include "core/startup/StartupRules.h"
#include "platform/probes/SystemProbes.h"
#include "TestSupport.h"

#include <QLocale>

namespace {

const QChar Sep = SepDot;

QString prog(const QString &items) {
    QString s = items;
    return s.replace('~', Sep);
}

} // namespace

TEST(StartupRules, VersionsCompareByParts) {
    struct Case {
        const char *a, *b;
        int expected;
    };
    const QList<Case> cases = {
        {"6.103", "6.99", 1},    {"6.103", "6.9", 1}, {"6.99", "6.103", -1},
        {"6.103", "6.103", 0},   {"6.103", "", 1},    {"6.103", "6.103.0", 0},
        {"6.103a", "6.103", 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(StartupRules, VersionCheckRecordsUpgrades) {
    struct Case {
        const char *program, *stored, *file;
        bool record, whatsNew;
    };
    const QList<Case> cases = {
        {"6.103", "6.99", "quillary", true, true},    {"6.103", "", "quillary", true, false},
        {"6.103", "6.103", "quillary", false, false}, {"6.103", "6.99", "OldQuillary", true, false},
        {"6.103", "7.0", "quillary", false, false},
    };
    for (const Case &c : cases) {
        const VersionCheck v = CheckVersion(c.program, c.stored, c.file);
        EXPECT_EQ(v.record, c.record) << c.stored << " " << c.file;
        EXPECT_EQ(v.showWhatsNew, c.whatsNew) << c.stored << " " << c.file;
    }
}

TEST(StartupRules, EventIsOverAroundAWeek) {
    const QDate today(2026, 12, 6); // a Sunday
    struct Case {
        const char *name;
        int daysAgo;
        QString programme, event;
        bool over;
    };
    const QList<Case> cases = {
        {"today", 0, "", "Ball", false},
        {"yesterday", 1, "", "Ball", true},
        {"a week ago", 7, "", "Ball", true},
        {"today's weekday heading", 3, prog("~O|Sunday~D|A|B|C"), "Ball", false},
        {"another weekday heading", 3, prog("~O|Monday~D|A|B|C"), "Ball", true},
        {"weekday heading without separator", 3, "O|Sunday", "Ball", true},
        {"weekday heading after eight days", 8, prog("~O|Sunday"), "Ball", true},
        {"a week's event", 3, "", "Music WEEK", false},
        {"a weekend", 3, "", "Dance Weekend", true},
        {"a week's event after eight days", 8, "", "Music Week", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(
            EventIsOver(today, today.addDays(-c.daysAgo), c.programme, c.event, "Sunday", Sep),
            c.over)
            << c.name;
    EXPECT_FALSE(
        EventIsOver(today, QDate(4900, 1, 1), "", "Ball", "Sunday", Sep)); // the no-date value
    EXPECT_FALSE(EventIsOver(today, QDate(), "", "Ball", "Sunday", Sep));
}

TEST(StartupRules, Reminders) {
    struct Case {
        const char *name;
        ReminderEvent e;
        QString text;
    };
    const QString date = "Sat 19-Dec-26", shortDate = "19-Dec-26";
    const QList<Case> cases = {
        {"empty programme",
         {{}, "Spring Ball", "Oxford Folk", "The Band", "", "", ""},
         "No programme for Spring Ball\ron Sat 19-Dec-26 for Oxford Folk"},
        {"only notes",
         {{}, "Spring Ball", "Spring Ball", "The Band", prog("~N|Welcome~O|Interval"), "", ""},
         "No programme for Spring Ball\ron Sat 19-Dec-26"},
        {"blank dance item",
         {{}, "Spring Ball", "Oxford Folk", "The Band", prog("~D|A|J|L~D|||"), "", "Y"},
         "Incomplete programme for Spring Ball\ron Sat 19-Dec-26 for Oxford Folk"},
        {"complete, not acknowledged",
         {{}, "Ball", "Club", "The Band", prog("~D|A|J|L"), "", ""},
         "Ball on 19-Dec-26 for Club not yet acknowledged by band."},
        {"leader note at position 2 only",
         {{}, "Ball", "Club", "The Band", "xN|Leader", "", "Y"},
         ""},
        {"leader note later",
         {{}, "Ball", "Club", "The Band", prog("~D|||~N|Leader"), "", "Y"},
         "Incomplete programme for Ball\ron Sat 19-Dec-26 for Club"},
        {"Callers event", {{}, "Callers' Workshop", "Club", "", "", "", "Y"}, ""},
        {"callers in small letters",
         {{}, "callers", "callers", "", "", "", "Y"},
         "No programme for callers\ron Sat 19-Dec-26"},
        {"recorded music", {{}, "Ball", "Club", "Recorded", prog("~D|A|J|L"), "", ""}, ""},
        {"a band named Recorders later",
         {{}, "Ball", "Club", "The Recorders", prog("~D|A|J|L"), "", ""},
         "Ball on 19-Dec-26 for Club not yet acknowledged by band."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EventReminder(c.e, Sep, date, shortDate), c.text) << c.name;
    // The other separator.
    EXPECT_EQ(EventReminder({{}, "B", "B", "X", QString(SepEuro) + "D|||", "", "Y"}, SepEuro, date,
                            shortDate),
              "Incomplete programme for B\ron Sat 19-Dec-26");
}

TEST(StartupRules, ReminderSpanEdge) {
    const QDate today(2026, 12, 6);
    EXPECT_TRUE(WithinReminderSpan(today, today));
    EXPECT_TRUE(WithinReminderSpan(today, today.addDays(30)));
    EXPECT_FALSE(WithinReminderSpan(today, today.addDays(31)));
    EXPECT_TRUE(WithinReminderSpan(today, today.addDays(-30)));
    EXPECT_FALSE(WithinReminderSpan(today, today.addDays(-31)));
    EXPECT_FALSE(WithinReminderSpan(today, QDate(4900, 1, 1)));
}

TEST(StartupRules, LocationColumn) {
    struct Case {
        const char *name;
        QStringList lines;
        int expected;
    };
    const QList<Case> cases = {
        {"none", {}, -1},
        {"the last wins", {"Location=1", "Trk=25", "Location=3"}, 2},
        {"a longer key", {"Recording=200", "Locations=200"}, -1},
        {"other case", {"location=200"}, -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LocationColumnOf(c.lines), c.expected) << c.name;
}

class StarterSettingsTest : public QuillaryTest {};

TEST_F(StarterSettingsTest, StarterFileHoldsTheStartingKeys) {
    const QString starter = QStringLiteral(QUILLARY_SOURCE_DIR) + "/resources/Quillary.ini";
    const QByteArray bytes = ReadFileBytes(starter);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(bytes.contains("Delim=\xB7\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')); // CR LF throughout
    IniFile = std::make_unique<TIniFile>(starter);
    EXPECT_EQ(IniFile->Encoding(), TextEncoding::Cp1252);
    EXPECT_EQ(FindLocationColumn(), 6);
    EXPECT_EQ(LocationColumn, 6);
    EXPECT_FALSE(IniFile->ValueExists("System", "DBSize")); // the first start compacts
}

TEST(StartupRules, PowerText) {
    struct Case {
        const char *name;
        PowerStatus s;
        QString text;
    };
    const QList<Case> cases = {
        {"no battery", {true, false, 0, -1}, "On mains power."},
        {"mains with battery", {true, true, 80, -1}, "On mains power.\rBattery is 80% full."},
        {"battery, life unknown", {false, true, 30, -1}, "On battery power.\rBattery is 30% full."},
        {"one hour",
         {false, true, 64, 3600 + 25 * 60 + 59},
         "Battery power left: 1 hour, 25 minutes  (64%)."},
        {"under an hour",
         {false, true, 9, 59 * 60},
         "Battery power left: 0 hours, 59 minutes  (9%)."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PowerStatusText(c.s), c.text) << c.name;
    EXPECT_FALSE(PowerMessageWanted(false, {true, true, 80, -1}));
    EXPECT_TRUE(PowerMessageWanted(true, {true, true, 80, -1}));
    EXPECT_TRUE(PowerMessageWanted(false, {false, true, 80, -1}));
}

TEST(StartupRules, CompactionAboveOneAndAFifth) {
    struct Case {
        qint64 size, recorded;
        bool nonStandard, due;
    };
    const QList<Case> cases = {
        {1000, 0, false, true},     // never compacted
        {1200, 1000, false, false}, // exactly 1.2 times
        {1201, 1000, false, true},
        {0, 0, false, false},                       // no file
        {3000000000LL, 2500000000LL, false, false}, // above 2^31, exactly 1.2 times
        {3000000001LL, 2500000000LL, false, true},
        {5000, 0, true, false}, // another database is never compacted
    };
    for (const Case &c : cases)
        EXPECT_EQ(CompactionDue(c.size, c.recorded, c.nonStandard), c.due)
            << c.size << " " << c.recorded;
}
