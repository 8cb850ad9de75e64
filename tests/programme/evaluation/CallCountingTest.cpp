#include "base/Cp1252.h"
#include "base/Messages.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DbFixture.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "programme/text/ProgrammeText.h"
#include "tests/programme/ProgrammeTestHelpers.h"

#include <sqlite3.h>

namespace {

// ---- the conditions and the plan, without a database ------------------------------

struct MayRunCase {
    const char *name;
    SaveSender sender;
    const char *updated;
    bool over;
    const char *programme;
    bool runs;
};

void PrintTo(const MayRunCase &c, std::ostream *os) { *os << c.name; }

class CountingMayRunTest : public ::testing::TestWithParam<MayRunCase> {};

TEST_P(CountingMayRunTest, OnlyTheSaveCommandOnAFinishedUncountedEvent) {
    const MayRunCase &c = GetParam();
    EXPECT_EQ(CountingMayRun(c.sender, QString::fromUtf8(c.updated), c.over, Sep(c.programme, SepDot), SepDot),
              c.runs);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CountingMayRunTest,
    ::testing::Values(MayRunCase{"SaveOnFinished", SaveSender::SaveE, "", true, "~D|A|L|E~", true},
                      MayRunCase{"OtherSender", SaveSender::Other, "", true, "~D|A|L|E~", false},
                      MayRunCase{"EventsPost", SaveSender::EventsData, "", true, "~D|A|L|E~", false},
                      MayRunCase{"AlreadyCounted", SaveSender::SaveE, "Y", true, "~D|A|L|E~", false},
                      MayRunCase{"NotOver", SaveSender::SaveE, "", false, "~D|A|L|E~", false},
                      MayRunCase{"LeadingMinusNote", SaveSender::SaveE, "", true, "~N|- not mine~D|A|L|E~", false},
                      MayRunCase{"MinusNoteLater", SaveSender::SaveE, "", true, "~D|A|L|E~N|- not mine~", true},
                      MayRunCase{"NoteWithoutMinus", SaveSender::SaveE, "", true, "~N|Mine~D|A|L|E~", true}),
    [](const ::testing::TestParamInfo<MayRunCase> &info) { return std::string(info.param.name); });

TEST(CallCountingPlan, Removals) {
    struct Case {
        const char *name;
        QList<ProgrammeItem> rows;
        QList<int> removed;
    };
    const QList<Case> cases = {
        {"BlankDancesLastFirst", {D("", "", ""), D("A", "L", "E"), D("", "", ""), Avg()}, {2, 0}},
        {"ExtrasLastRealItem", {D("A", "L", "E"), D("", "", ""), H("Extras"), Avg()}, {2, 1}},
        {"ExtrasAnyCase", {D("A", "L", "E"), H("EXTRAS for later"), Avg()}, {1}},
        {"ExtrasNotLast", {D("A", "L", "E"), H("Extras"), D("B", "L", "E"), Avg()}, {}},
        {"ExtrasNoteIsNoHeading", {D("A", "L", "E"), N("Extras"), Avg()}, {}},
        {"OnlyExtras", {H("Extras"), Avg()}, {0}},
        {"SingleRow", {Avg()}, {}},
    };
    for (const Case &c : cases) EXPECT_EQ(CountingRemovals(c.rows), c.removed) << c.name;
}

TEST(CallCountingPlan, SpareDancesUntilTheNextSession) {
    const QList<ProgrammeItem> rows = {
        H("Evening"),    D("A", "L", "E"), N("a note"),        H("Extras"),   D("B", "L", "E"),
        N("spare note"), H("Interval"),    D("C", "L", "E"),   H("Second half"), D("", "L", "E"),
        D("F", "L", "E"), H("next TIME"),  D("G", "L", "E"),   Avg()};
    const CountingWalk walk = WalkForCounting(rows);
    EXPECT_EQ(walk.dances, (QList<int>{1, 10}));
    EXPECT_EQ(walk.notes, (QList<int>{2}));
}

TEST(CallCountingPlan, CallitAskedAtEveryFifthCall) {
    TestAnswerer answerer;
    CallCounting counting({D("A", "L", "E"), D("B", "L", "E"), D("C", "L", "E"), D("A", "L", "E"), Avg()}, SepDot);
    counting.RemoveRows();
    QMap<QString, LocatedDance> table = {
        {"A", {1, "A", "2", 3, true}},  // 4, then 5: asked once
        {"B", {2, "B", "", 9, true}},   // 10: asked
        {"C", {3, "C", "", 10, true}},  // 11: not asked
    };
    counting.Locate([&](int, const DanceKey &key) { return std::optional(table.value(key.Title)); });
    answerer.script(ResultYes);
    answerer.script(ResultNo);
    counting.AskCallit();
    EXPECT_EQ(answerer.texts(),
              (QStringList{"B\n\nTimes called: 10\n\nRemove from \"Callit\" list?",
                           "A\n\nTimes called: 5\n\nRemove from \"Callit\" list?"}));
    EXPECT_EQ(counting.plan.increments, (QList<QPair<qint64, int>>{{1, 2}, {2, 1}, {3, 1}}));
    EXPECT_EQ(counting.plan.callitCleared, QList<qint64>{2});
}

TEST(CallCountingPlan, DanceTurnedIntoNoteIsNotCounted) {
    CallCounting counting({D("A", "L", "E"), D("Gone", "L", "E", 2), Avg()}, SepDot);
    counting.Locate([](int row, const DanceKey &) -> std::optional<LocatedDance> {
        if (row == 1) return std::nullopt;
        return LocatedDance{7, "A", "", QVariant(), false};
    });
    counting.AskCallit();
    EXPECT_EQ(counting.plan.increments, (QList<QPair<qint64, int>>{{7, 1}}));
    EXPECT_EQ(counting.FinalProgramme(QString()),
              Sep("~D|A|L|E~N|Gone|L|E (dance has been deleted)~", SepDot));
}

// ---- the save on a database built from the schema -----------------------------------

class CallCountingDbTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        never = addDance("Never Called", "Longways", "English");
        four = addDance("Four Times", "Longways", "English", {{"Called", 4}, {"Callit", "Y"}});
        nine = addDance("Nine Times", "Square", "American", {{"Called", 9}, {"Callit", "Y"}});
        ten = addDance("Ten Times", "Circle", "English", {{"Called", 10}, {"Callit", "Y"}, {"Lvl", 3}});
        spare = addDance("Spare One", "Longways", "English", {{"Called", 1}});
        const QString programme = Sep("~O|Evening~D|Never Called|Longways|English~D|||~"
                                      "D|four times|LONGWAYS|english~D|Nine Times|Square|American~"
                                      "D|Ten Times|Circle|English~O|Extras~D|Spare One|Longways|English~",
                                      SepDot);
        event = addEvent("Club", 46361, "Dance", {{"Programme", programme}, {"Fee", "50"}});
        events = std::make_unique<Dataset>(db, "Events");
        events->setIndexName("EDate");
        events->open();
        events->GotoBookmark(event);
    }
    void TearDown() override {
        events.reset();
        DbTest::TearDown();
    }

    // The save of the Save command once the user agreed to count, as the
    // main window runs it.
    void save() {
        events->Edit();
        const QString stored = events->FieldByName("Programme").AsString();
        CallCounting counting(ReadProgramme(stored, SepDot).items, SepDot);
        counting.RemoveRows();
        SqlDanceLookup lookup(db);
        counting.Locate([&](int, const DanceKey &key) -> std::optional<LocatedDance> {
            auto found = lookup.locate(key);
            if (!found) throw EQuietError("");
            return found;
        });
        counting.CheckLinks();
        counting.AskCallit();
        WriteEventSave(db, *events, counting.plan, true, counting.FinalProgramme(stored));
    }
    QVariant called(qint64 rowid) { return scalar("SELECT Called FROM Dances WHERE rowid=?", {rowid}); }
    QString eventField(const char *name) {
        return scalar(QStringLiteral("SELECT %1 FROM Events WHERE rowid=?").arg(name), {event}).toString();
    }

    qint64 never = 0, four = 0, nine = 0, ten = 0, spare = 0, event = 0;
    std::unique_ptr<Dataset> events;
};

// Another program holding the file when the save commits: nothing is
// counted or written, and the event (a new one too) is still being edited as
// typed, so the next save stores it.
TEST_F(CallCountingDbTest, ARefusedCommitKeepsTheEventBeingEdited) {
    const int busy = Database::BusyTimeoutMs;
    Database::BusyTimeoutMs = 30;
    events.reset();
    db.close();
    db.open(dbPath);
    events = std::make_unique<Dataset>(db, "Events");
    events->setIndexName("EDate");
    events->open();
    for (const bool inserting : {false, true}) {
        SCOPED_TRACE(inserting ? "a new event" : "an edited event");
        events->GotoBookmark(event);
        const QString stored = events->FieldByName("Programme").AsString();
        if (inserting) {
            events->Insert();
            events->FieldByName("Org").SetAsString("Newcomers");
            events->FieldByName("EDate").SetAsFloat(46400);
            events->FieldByName("Programme").SetAsString(stored);
        } else {
            events->Edit();
        }
        events->FieldByName("Fee").SetAsString("75");
        CallCountPlan plan;
        plan.increments = {{never, 1}};
        sqlite3 *other = nullptr;
        ASSERT_EQ(sqlite3_open(dbPath.toUtf8().constData(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN; SELECT count(*) FROM Dances", nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_ANY_THROW(WriteEventSave(db, *events, plan, true, stored + "N|Added~"));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);

        EXPECT_NE(sqlite3_get_autocommit(db.handle()), 0) << "no transaction is left open";
        EXPECT_EQ(events->State(), inserting ? DatasetState::Insert : DatasetState::Edit);
        EXPECT_EQ(events->FieldByName("Fee").AsString(), QStringLiteral("75"));
        EXPECT_EQ(events->FieldByName("Updated").AsString(), QString()) << "counted again by the next save";
        const int before = inserting ? 1 : 0; // the first round stored the edited event
        EXPECT_EQ(called(never), inserting ? QVariant(qint64(1)) : QVariant());
        EXPECT_EQ(scalar("SELECT count(*) FROM Events").toInt(), 1);
        EXPECT_EQ(scalar("SELECT count(*) FROM Events WHERE Fee='75'").toInt(), before);

        WriteEventSave(db, *events, plan, true, stored);
        EXPECT_EQ(events->State(), DatasetState::Browse);
        EXPECT_EQ(scalar("SELECT count(*) FROM Events WHERE Fee='75' AND Updated='Y'").toInt(), before + 1);
        EXPECT_EQ(called(never), QVariant(qint64(before + 1)));
    }
    Database::BusyTimeoutMs = busy;
}

TEST_F(CallCountingDbTest, EachCountedDanceGainsOneCallInOneWrite) {
    answerer->script(ResultNo);  // Four Times reaches 5: stays on the list
    answerer->script(ResultYes); // Nine Times reaches 10: taken off
    save();
    EXPECT_EQ(called(never), QVariant(qint64(1)));
    EXPECT_EQ(called(four), QVariant(qint64(5)));
    EXPECT_EQ(called(nine), QVariant(qint64(10)));
    EXPECT_EQ(called(ten), QVariant(qint64(11)));
    EXPECT_EQ(called(spare), QVariant(qint64(1))); // below Extras: spare
    EXPECT_EQ(answerer->texts(), (QStringList{"Four Times\n\nTimes called: 5\n\nRemove from \"Callit\" list?",
                                              "Nine Times\n\nTimes called: 10\n\nRemove from \"Callit\" list?"}));
    EXPECT_EQ(eventField("Updated"), QStringLiteral("Y"));
    EXPECT_EQ(eventField("Programme"),
              Sep("~O|Evening~D|Never Called|Longways|English~D|four times|LONGWAYS|english~"
                  "D|Nine Times|Square|American~D|Ten Times|Circle|English~O|Next time~"
                  "D|Spare One|Longways|English~",
                  SepDot));
    EXPECT_EQ(events->State(), DatasetState::Browse);
    EXPECT_EQ(scalar("SELECT Callit FROM Dances WHERE rowid=?", {four}).toString(), QStringLiteral("Y"));
    EXPECT_EQ(scalar("SELECT Callit FROM Dances WHERE rowid=?", {nine}).toString(), QString());
    EXPECT_EQ(scalar("SELECT Callit FROM Dances WHERE rowid=?", {ten}).toString(), QStringLiteral("Y"));
}

TEST_F(CallCountingDbTest, ExitInTheNotFoundDialogWritesNothing) {
    db.execRaw("DELETE FROM Dances WHERE Title='Ten Times'");
    EXPECT_THROW(save(), EQuietError);
    EXPECT_EQ(called(never), QVariant());
    EXPECT_EQ(called(four), QVariant(qint64(4)));
    EXPECT_EQ(eventField("Updated"), QString());
    EXPECT_TRUE(answerer->boxes.isEmpty()); // no Callit question before every dance was found
}

TEST_F(CallCountingDbTest, FailureInsideTheTransactionRollsEverythingBack) {
    db.execRaw("CREATE TRIGGER refuse BEFORE UPDATE ON Events BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    answerer->script(ResultNo);
    answerer->script(ResultYes);
    EXPECT_THROW(save(), DbError);
    EXPECT_EQ(called(never), QVariant());
    EXPECT_EQ(called(nine), QVariant(qint64(9)));
    EXPECT_EQ(scalar("SELECT Callit FROM Dances WHERE rowid=?", {nine}).toString(), QStringLiteral("Y"));
    EXPECT_EQ(eventField("Updated"), QString());
    // Still in edit, and Updated not set, so a later save counts again.
    EXPECT_EQ(events->State(), DatasetState::Edit);
    EXPECT_EQ(events->FieldByName("Updated").AsString(), QString());
}

TEST_F(CallCountingDbTest, OpenDancesDatasetSeesTheNewCounts) {
    Dataset dances(db, "Dances");
    dances.setIndexName("FST");
    dances.open();
    dances.GotoBookmark(never);
    answerer->script(ResultNo);
    answerer->script(ResultNo);
    save();
    EXPECT_EQ(dances.FieldByName("Called").AsInteger(), 1);
}

} // namespace

// Titles, formats and styles holding the characters SQL and the programme
// string treat specially: the save counts each of them once, leaves the
// other dances alone, and the stored programme reads back to the same items.
TEST_F(CallCountingDbTest, HostileKeysAreCountedAndStillResolve) {
    const QString hostile[] = {QStringLiteral("O'Neill's \"Jig\""), QStringLiteral("100% _Reel_"),
                               QStringLiteral("[Square] \\ Set"), QStringLiteral("Pound \u00A7 Dance"),
                               QStringLiteral("Dance Into the Night"), QStringLiteral("Pol\u0161ka \u0416"),
                               QString(255, QLatin1Char('x'))};
    QList<ProgrammeItem> items;
    QList<qint64> rows;
    for (const QString &h : hostile) {
        // A style may not hold "§" (the key check refuses it).
        const QString style = QString(h).remove(SectionSign);
        rows.append(addDance(h, h, style, {{"Called", 2}}));
        items.append(ProgrammeItem::dance(h, h, style));
    }
    const QString programme = WriteProgramme(items, SepDot, QString());
    db.execRaw(QStringLiteral("UPDATE Events SET Programme = '%1', Updated = ''").arg(QString(programme).replace("'", "''")));
    events->close();
    events->open();
    events->GotoBookmark(event);
    save();
    for (qint64 row : rows) EXPECT_EQ(called(row), QVariant(qint64(3)));
    EXPECT_EQ(called(four), QVariant(qint64(4)));
    EXPECT_EQ(called(spare), QVariant(qint64(1)));
    const ProgrammeRead read = ReadProgramme(eventField("Programme"), SepDot);
    EXPECT_TRUE(read.messages.isEmpty()) << read.messages.join(' ').toStdString();
    ASSERT_EQ(read.items.size(), items.size() + 1); // and the average level note
    for (qsizetype i = 0; i < items.size(); ++i) EXPECT_EQ(read.items[i].key, items[i].key);
}
