#include "tests/programme/ProgrammeTestHelpers.h"

#include "platform/ini/IniFile.h"
#include "programme/evaluation/ProgrammeData.h"
#include "programme/evaluation/Rules.h"
#include "tests/programme/RuleBoxes.h"

#include <gtest/gtest.h>

namespace {


// A parsed rule in one line: session, kind, numbers, conditions.
QString Summary(const RuleParse &p) {
    if (!p.ok()) return p.error;
    const ParsedRule &r = p.rule;
    QString s = QString(r.session) + '|' + r.kind;
    if (r.hasLow) s += ' ' + QString::number(r.low) + '-' + QString::number(r.high);
    for (int k = 0; k < 4; ++k)
        if (!r.conditions[k].isEmpty()) s += ' ' + RuleFields()[k] + ':' + r.conditions[k];
    return s;
}


} // namespace

TEST(RuleBuilder, LinesAndRefusals) {
    const struct {
        int session;
        const char *kind, *n1, *n2;
        std::array<QString, 4> choices;
        const char *expected;  // the line, or the message
    } cases[] = {
        {-1, "Level", "1", "3", {}, "Level 1 to 3"},
        {1, "Level", "2", "", {}, "Session 2: Level 2"},
        {-1, "Total dances", "12", "16", {}, "Total dances 12 to 16"},
        {-1, "Total dances", "9", "10", {}, "Total dances 9 to 10"},
        {-1, "Some dances", "1", "", {}, "1 dance"},
        {-1, "Some dances", "1", "2", {}, "1 to 2 dances"},
        {-1, "Some dances", "3", "03", {}, "3 dances"},
        {-1, "Some dances", "0", "", {"", "Waltz"}, "0 dances Rhythm=Waltz"},
        {-1, "Some dances", "2", "4", {"", "Jig"}, "2 to 4 dances Rhythm=Jig"},
        {-1, "All dances", "5", "", {"", "", "Longways", "Anon"}, "Format=Longways Author=Anon"},
        {3, "All dances", "", "", {"Dancing Master", "", "Longways"}, "Session 4: Style=Dancing Master Format=Longways"},
        {-1, "Level", "0", "3", {"Jig"}, "Level 0 to 3"},
        {-1, "", "1", "", {}, "Second drop-down box cannot be left blank."},
        {-1, "Level", "", "3", {}, "First number must be specified."},
        {-1, "Total dances", "10", "9", {}, "Second number cannot be less than first."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected);
        RuleEditorState s;
        s.session = c.session;
        s.kind = c.kind;
        s.num1 = c.n1;
        s.num2 = c.n2;
        s.choices = c.choices;
        const BuiltRule b = BuildRule(s);
        EXPECT_EQ(b.message.isEmpty() ? b.line : b.message, QString(c.expected));
        if (!b.message.isEmpty()) continue;
        // Every built line reads back into the boxes it came from.
        const RuleParse p = ParseRule(b.line, RuleTestBoxes);
        ASSERT_TRUE(p.ok()) << p.error.toStdString();
        EXPECT_EQ(BuildRule(EditorStateOf(p.rule)).line, b.line);
    }
}

TEST(RuleParser, ExamplesErrorsAndJunk) {
    const struct {
        const char *rule, *expected;
    } cases[] = {
        {"Session 2: Level 1 to 3", "2|Level 1-3"},
        {"Total dances 12 to 16", "\x20|Total dances 12-16"},
        {"2 to 4 dances Rhythm=Jig", " |Some dances 2-4 Rhythm:Jig"},
        {"Format=Longways Author=Anon", " |All dances Format:Longways Author:Anon"},
        {"Style=Dancing Master Format=Longways", " |All dances Style:Dancing Master Format:Longways"},
        {"0 dances Rhythm=Waltz", " |Some dances 0-0 Rhythm:Waltz"},
        {"Level 0 to 3", " |Level 0-3"},
        {"1 dance Style=Jig", " |Some dances 1-1 Style:Jig"},
        {"Session 2: ", "Incomplete rule"},
        {"", "Incomplete rule"},
        {"Level ", "Incomplete rule"},
        {"Rhythm=Polka", "Error in rule at position 13: \r\rRhythm=Polka"},
        {"Tempo=Fast", "Error in rule at position 7: \r\rTempo=Fast"},
        {"Style=Jig Rhythm", "Error in rule at position 17: \r\rStyle=Jig Rhythm"},
        {"Style=Jig=Reel", "Error in rule at position 10: \r\rStyle=Jig=Reel"},
        {"2 to dances", "Error in rule at position 6: \r\r2 to dances"},
        {"2x dances", "Error in rule at position 2: \r\r2x dances"},
        {"Session", "Error in rule at position 9: \r\rSession"},
        {"Session \u0663: Level 1", "Error in rule at position 9: \r\rSession \u0663: Level 1"},
        {"=====", "Error in rule at position 2: \r\r====="},
        {"99999999999 dances", "Error in rule at position 1: \r\r99999999999 dances"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(Summary(ParseRule(c.rule, RuleTestBoxes)), QString(c.expected));
    }
}

class RuleSets : public QuillaryTest {};

TEST_F(RuleSets, StoredReadSavedAndDeleted) {
    WriteFileBytes(path("Quillary.ini"), "[#Zed]\r\n0=Level 1 to 3\r\n1=\r\n2=Total dances 12 to 16\r\n"
                                         "[Other]\r\nx=1\r\n[#alpha]\r\n0=a\r\n1=b\r\n2=c\r\n3=d\r\n4=e\r\n");
    TIniFile ini(path("Quillary.ini"));
    EXPECT_EQ(RuleSetSection::names(ini), QStringList({"Zed", "alpha"}));
    EXPECT_EQ(RuleSetSection::sortedNames(ini), QStringList({"alpha", "Zed"}));
    EXPECT_EQ(RuleSetSection::read(ini, "ZED"), QStringList({"Level 1 to 3", "Total dances 12 to 16"}));

    RuleSetSection::save(ini, "alpha", {"Level 2", ""});
    EXPECT_EQ(ini.ReadSectionValues("#alpha"), QStringList({"0=Level 2", "1="}));
    EXPECT_EQ(RuleSetSection::read(ini, "alpha"), QStringList({"Level 2"}));

    // A failed write leaves the stored set as it was.
    TIniFile::SetSaveFunction([](const QString &, const QByteArray &) { throw std::runtime_error("disk full"); });
    EXPECT_THROW(RuleSetSection::save(ini, "Zed", {"Level 9"}), std::runtime_error);
    TIniFile::SetSaveFunction({});
    TIniFile fresh(path("Quillary.ini"));
    EXPECT_EQ(RuleSetSection::read(fresh, "Zed").size(), 2);
    try {
        RuleSetSection::save(ini, "a[b", {"Level 1"});
        FAIL();
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "Rule name cannot contain \"[\".");
    }
    RuleSetSection::remove(ini, "zed");
    EXPECT_EQ(RuleSetSection::names(ini), QStringList({"alpha"}));
}

TEST(RuleSetChoice, PassesAndFallback) {
    const struct {
        const char *search;
        QStringList names;
        const char *chosen;
    } cases[] = {
        {" SPRING DANCE PARTY ", {"Dance", "Spring Dance"}, "SPRING DANCE"},
        {" BARN DANCE ", {"Barn", "Dance"}, "DANCE"},
        {" BARN DANCE ", {"Dance", "Barn"}, "BARN"},
        {" CLUB NIGHT ", {"Barn", "dance"}, "Dance"},
        {" CLUB NIGHT ", {"Barn"}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.search);
        EXPECT_EQ(ChooseRuleSet(c.search, c.names), QString(c.chosen));
    }
}

namespace {

struct Recorder : RuleReport {
    QStringList lines;
    void addLine(const QString &t) override { lines << t; }
    void addError(const QString &t) override { lines << "E" + t; }
};

} // namespace

TEST(ProgrammeTestRun, ReportsByTable) {
    MemoryDanceLookup dances;
    auto dance = [&](const char *title, const char *style, const char *rhythm, const char *lvl) {
        dances.add({title, "Longways", style},
                   DanceFields{{"Style", style}, {"Rhythm", rhythm}, {"Format", "Longways"}, {"Lvl", lvl}});
        return D(title, "Longways", style);
    };
    const ProgrammeItem a = dance("Apple", "Jig", "Jig", "2"), b = dance("Bean", "Jig", "Reel", "5"),
                        c = dance("Corn", "Reel", "Reel", ""), d = dance("Date, The", "Reel", "Jig", "1");
    const QList<ProgrammeItem> plain = {a, b, c, d, Avg()};
    const QList<ProgrammeItem> sessions = {H("Morning"), a, b, H("Evening"), a, b, c, d, a, H("Extras"), c, Avg()};

    const struct {
        const char *name, *event;
        QList<ProgrammeItem> rows;
        int thisIndex;
        QStringList rules;
        QStringList expected;
    } cases[] = {
        {"level, empty Lvl skipped", "Club", plain, 0, {"0=Level 1 to 3"},
         {"Rule set used: Dance", "Level 1 to 3", "E  => Wrong Level for Bean (5)"}},
        {"some dances counted", "Club", plain, 0, {"0=1 dance Style=Jig", "1=", "2=3 to 4 dances Rhythm=Reel"},
         {"Rule set used: Dance", "1 dance Style=Jig", "E  => Wrong number of dances (2)",
          "3 to 4 dances Rhythm=Reel", "E  => Wrong number of dances (2)"}},
        {"all dances listed once", "Club", plain, 0, {"0=Rhythm=Reel"},
         {"Rule set used: Dance", "Rhythm=Reel", "E  => Apple  (Jig)", "E  => The Date  (Jig)"}},
        {"session counted, extras not", "Club", sessions, 0, {"0=Session 2: Total dances 3 to 4", "1=Session 4: Total dances 9"},
         {"Rule set used: Dance", "Session 2: Total dances 3 to 4", "E  => Wrong number of dances (5)"}},
        {"parse error stops, lines kept", "Club", plain, 0, {"0=Level 3", "1=Style=Polka", "2=Level 1"},
         {"Rule set used: Dance", "Level 3", "E  => Wrong Level for Apple (2)", "E  => Wrong Level for Bean (5)",
          "E  => Wrong Level for The Date (1)", "stop: Error in rule at position 12: \r\rStyle=Polka"}},
        {"festival, selection gone", "Summer Weekend", sessions, -1, {"0=Total dances 1"},
         {"Morning", "Rule set used: Dance", "Total dances 1", "E  => Wrong number of dances (2)"}},
        {"festival, later session", "Summer Weekend", sessions, 6, {"0=Total dances 1"},
         {"Evening", "Rule set used: Dance", "Total dances 1", "E  => Wrong number of dances (5)"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dances.lookups = 0;
        ProgrammeTestInput in;
        in.rows = c.rows;
        in.thisIndex = c.thisIndex;
        in.eventText = c.event;
        in.setNames = {"Other", "Dance"};
        in.readSet = [&](const QString &name) { return name == "Dance" ? c.rules : QStringList(); };
        in.boxItems = RuleTestBoxes;
        in.dances = &dances;
        Recorder r;
        const ProgrammeTestResult res = RunProgrammeTest(in, r);
        if (res.end == ProgrammeTestEnd::Stopped) r.lines << "stop: " + res.message;
        EXPECT_EQ(r.lines, c.expected);
        int danceRows = 0;
        for (const ProgrammeItem &i : c.rows) danceRows += i.isDance();
        EXPECT_LE(dances.lookups, danceRows);
    }
}

// A programme dance the catalogue lacks is looked up under every rule (the
// look-up is where the main window offers its choices) and, still missing
// afterwards, is judged on no field: only "Total dances" counts its row.
TEST(ProgrammeTestRun, ADanceTheCatalogueLacksIsLookedUpButNotJudged) {
    struct Asked : DanceLookup {
        MemoryDanceLookup known;
        mutable QStringList titles;
        std::optional<DanceFields> find(const DanceKey &key) const override {
            titles.append(key.Title);
            return known.find(key);
        }
    } dances;
    dances.known.add({"Apple", "Longways", "Jig"},
                     DanceFields{{"Style", "Jig"}, {"Rhythm", "Jig"}, {"Format", "Longways"}, {"Lvl", "2"}});
    const QList<ProgrammeItem> rows = {D("Apple", "Longways", "Jig"), D("Ghost", "Longways", "Jig"), Avg()};
    const struct {
        const char *name;
        QString rule;
        QStringList expected;
    } cases[] = {
        {"total counts the row", "Total dances 2", {"Rule set used: Dance"}},
        {"all dances: no empty field reported", "Rhythm=Jig", {"Rule set used: Dance"}},
        {"level: nothing to compare", "Level 3 to 4", {"Rule set used: Dance", "Level 3 to 4", "E  => Wrong Level for Apple (2)"}},
        {"some dances: not counted", "2 dances Rhythm=Jig",
         {"Rule set used: Dance", "2 dances Rhythm=Jig", "E  => Wrong number of dances (1)"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dances.titles.clear();
        ProgrammeTestInput in;
        in.rows = rows;
        in.eventText = "Club";
        in.setNames = {"Dance"};
        in.readSet = [&](const QString &) { return QStringList{"0=" + c.rule}; };
        in.boxItems = RuleTestBoxes;
        in.dances = &dances;
        Recorder r;
        EXPECT_EQ(RunProgrammeTest(in, r).end, ProgrammeTestEnd::Done);
        EXPECT_EQ(r.lines, c.expected);
        EXPECT_TRUE(dances.titles.contains("Ghost")) << dances.titles.join(",").toStdString();
    }
}
