#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DbFixture.h"
#include "programme/evaluation/SqlProgrammeData.h"

namespace {

class SqlDanceLookupTest : public DbTest {};

TEST_F(SqlDanceLookupTest, FindsByKeyIgnoringCase) {
    addDance("Über den Berg", "Longways", "English", {{"Called", 4}, {"Lvl", 3}, {"Timing", "8"}});
    addDance("Uber den Berg", "Longways", "English");
    SqlDanceLookup lookup(db);
    const auto found = lookup.find({"ÜBER DEN BERG", "longways", "ENGLISH"});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->value("Title"), QStringLiteral("Über den Berg"));
    EXPECT_EQ(found->value("Called"), QStringLiteral("4"));
    EXPECT_EQ(found->value("lvl"), QStringLiteral("3"));
    EXPECT_EQ(found->value("Timing"), QStringLiteral("8"));
    EXPECT_FALSE(lookup.find({"Über den Berg", "Longways", "Scottish"}));
}

TEST_F(SqlDanceLookupTest, QuotesInTheKeyAreData) {
    addDance("O'Neill's \"Reel\"", "Set", "Irish");
    SqlDanceLookup lookup(db);
    EXPECT_TRUE(lookup.find({"O'Neill's \"Reel\"", "Set", "Irish"}));
    EXPECT_FALSE(lookup.find({"O'Neill's \"Reel\"' OR '1'='1", "Set", "Irish"}));
}

TEST_F(SqlDanceLookupTest, MissingDanceGoesToTheHandlerAndIsLookedForAgain) {
    SqlDanceLookup lookup(db);
    QList<DanceKey> missed;
    lookup.onMissing = [&](const DanceKey &key) {
        missed.append(key);
        if (key.Title == QLatin1String("Generate me")) addDance(key.Title, key.Format, key.Style);
    };
    EXPECT_TRUE(lookup.find({"Generate me", "Circle", "English"}));
    EXPECT_FALSE(lookup.find({"Leave me", "Circle", "English"}));
    EXPECT_EQ(missed.size(), 2);
    // A found dance never reaches the handler.
    EXPECT_TRUE(lookup.find({"Generate me", "Circle", "English"}));
    EXPECT_EQ(missed.size(), 2);
}

TEST_F(SqlDanceLookupTest, LocateGivesWhatCountingNeeds) {
    const qint64 a = addDance("A", "L", "E", {{"Callit", "Y"}, {"Lvl", 2}});
    const qint64 b = addDance("B", "L", "E", {{"Called", 7}});
    SqlDanceLookup lookup(db);
    const auto la = lookup.locate({"a", "l", "e"});
    ASSERT_TRUE(la);
    EXPECT_EQ(la->rowid, a);
    EXPECT_EQ(la->title, QStringLiteral("A"));
    EXPECT_EQ(la->lvl, QStringLiteral("2"));
    EXPECT_TRUE(la->called.isNull());
    EXPECT_TRUE(la->callit);
    const auto lb = lookup.locate({"B", "L", "E"});
    ASSERT_TRUE(lb);
    EXPECT_EQ(lb->rowid, b);
    EXPECT_EQ(lb->called.toInt(), 7);
    EXPECT_FALSE(lb->callit);
    EXPECT_FALSE(lookup.locate({"C", "L", "E"}));
}

class SqlEventHistoryTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        addEvent("A", 200.25, "e1");
        addEvent("B", 100, "e2");
        shown = addEvent("C", 200.75, "e3");
        addEvent("D", 200, "e4");
        addEvent("E", 300, "e5");
        addEvent("N", 0, "e6");
        db.execRaw("UPDATE Events SET EDate = NULL WHERE Org = 'N'");
    }
    QStringList before(qint64 rowid, const QVariant &date, int limit = 99) {
        QStringList orgs;
        SqlEventHistory(db, rowid, date).eachBefore([&](const EventRecord &e) {
            orgs.append(e.Org);
            return orgs.size() < limit;
        });
        return orgs;
    }
    QStringList after(qint64 rowid, const QVariant &date) {
        QStringList orgs;
        SqlEventHistory(db, rowid, date).eachAfter([&](const EventRecord &e) {
            orgs.append(e.Org);
            return true;
        });
        return orgs;
    }
    qint64 shown = 0;
};

TEST_F(SqlEventHistoryTest, EDateOrderWithRowidBreakingTies) {
    // Day 200 holds A (first row), C (shown) and D; times of day do not count
    // in the index order, only the stored values: A 200.25, D 200, C 200.75.
    EXPECT_EQ(before(shown, 200.75), (QStringList{"A", "D", "B", "N"}));
    EXPECT_EQ(after(shown, 200.75), (QStringList{"E"}));
}

TEST_F(SqlEventHistoryTest, StopsWhenTheVisitorSaysSo) {
    EXPECT_EQ(before(shown, 200.75, 2), (QStringList{"A", "D"}));
}

TEST_F(SqlEventHistoryTest, UndatedShownRecordComesFirst) {
    const qint64 n = scalar("SELECT rowid FROM Events WHERE Org = 'N'").toLongLong();
    EXPECT_TRUE(before(n, QVariant()).isEmpty());
    EXPECT_EQ(after(n, QVariant()), (QStringList{"B", "D", "A", "C", "E"}));
}

TEST_F(SqlEventHistoryTest, DatesAsCalendarDaysAndTheDatasetLeftAlone) {
    Dataset events(db, "Events");
    events.setIndexName("EDate");
    events.OnFilterRecord = [](Dataset &d) { return d.FieldByName("Org").AsString() != QLatin1String("B"); };
    events.open();
    events.SetFiltered(true);
    events.GotoBookmark(shown);
    const int at = events.RecordIndex();
    QList<QDate> dates;
    SqlEventHistory(db, shown, 200.75).eachBefore([&](const EventRecord &e) {
        dates.append(e.EDate);
        return true;
    });
    EXPECT_EQ(dates.value(2), QDate(1900, 4, 9)); // day 100
    EXPECT_EQ(events.RecordIndex(), at);
    EXPECT_TRUE(events.Filtered());
    EXPECT_EQ(events.GetBookmark(), shown);
}

} // namespace
