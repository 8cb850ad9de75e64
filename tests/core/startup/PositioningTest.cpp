#include "base/Log.h"
#include "core/dances/RecordHooks.h"
#include "core/startup/Positioning.h"
#include "platform/sqlite/DbFixture.h"

#include <QFile>

namespace {

class PositioningTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        ids << addEvent("A", 100, "First") << addEvent("B", 200, "Second")
            << addEvent("C", 200, "Third") << addEvent("D", 300, "Fourth");
        ds = std::make_unique<Dataset>(db, "Events");
        ds->setIndexName("EDate");
        ds->open();
    }
    void TearDown() override {
        ResetPositions();
        EventChanged = false;
        ds.reset();
        DbTest::TearDown();
    }
    QString event() { return ds->FieldByName("Event").AsString(); }
    QList<qint64> ids;
    std::unique_ptr<Dataset> ds;
};

} // namespace

TEST_F(PositioningTest, SeekRecordInItsSixModes) {
    struct Case {
        double date;
        int mode;
        const char *found; // "" when nothing is found
    } cases[] = {
        // A key held by two records.
        {200, 0, "Second"}, {200, 1, "Third"}, {200, 2, "Second"},
        {200, 3, "Fourth"}, {200, 4, "Third"}, {200, 5, "First"},
        // A key between records.
        {150, 0, ""}, {150, 1, ""}, {150, 2, "Second"},
        {150, 3, "Second"}, {150, 4, "First"}, {150, 5, "First"},
        // Before the first and after the last.
        {50, 2, "First"}, {50, 3, "First"}, {50, 4, ""}, {50, 5, ""},
        {400, 2, ""}, {400, 3, ""}, {400, 4, "Fourth"}, {400, 5, "Fourth"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("date %1 mode %2").arg(c.date).arg(c.mode).toStdString());
        ds->First();
        ds->Next(); // on "Second": a failed seek must leave it there
        const bool found = SeekRecord(*ds, {c.date}, c.mode);
        EXPECT_EQ(found, *c.found != 0);
        EXPECT_EQ(event(), QLatin1String(*c.found ? c.found : "Second"));
    }
}

TEST_F(PositioningTest, SeekRecordSavesPendingEditsFirst) {
    ds->Edit();
    ds->FieldByName("Event").SetAsString("Changed");
    EXPECT_TRUE(SeekRecord(*ds, {300}, SeekMode::FirstEq));
    EXPECT_EQ(scalar("SELECT Event FROM Events WHERE rowid=?", {ids[0]}).toString(),
              QStringLiteral("Changed"));
    EXPECT_THROW(SeekRecord(*ds, {300}, 6), DbError);
}

TEST_F(PositioningTest, SavePosAtTheEndComesBackToTheLastRecord) {
    int scrolls = 0;
    SetEventsScrollHandler([&](Dataset &) { ++scrolls; });
    ds->Last();
    SavePos(*ds);
    EXPECT_TRUE(ds->ControlsDisabled());
    ds->First();
    while (!ds->Eof()) ds->Next();
    ds->First();
    EXPECT_EQ(scrolls, 0); // the handler is off for the walk
    EventChanged = true;
    RestPos(*ds);
    EXPECT_EQ(event(), QStringLiteral("Fourth"));
    EXPECT_FALSE(ds->ControlsDisabled());
    EXPECT_TRUE(EventChanged); // enabling the controls keeps the edit mark
    EXPECT_FALSE(PosKept());
    ds->Prior();
    EXPECT_EQ(scrolls, 1); // and on again afterwards
}

TEST_F(PositioningTest, RecursiveSavePosWarnsAndReplaces) {
    WriteLog(QStringLiteral("START"));
    ds->First();
    SavePos(*ds);
    ds->Last();
    ds->Prior();
    SavePos(*ds);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Recursive call to SavePos")));
    ds->First();
    RestPos(*ds);
    EXPECT_EQ(event(), QStringLiteral("Third"));
    ds->EnableControls(); // the first SavePos's mute
    EXPECT_FALSE(ds->ControlsDisabled());
    WriteLog(QStringLiteral("END"));
    const QString log = QString::fromLatin1(ReadFileBytes(path("Log.Txt")));
    EXPECT_EQ(log.count(QStringLiteral("SavePos")), 3); // twice, and in the message
    EXPECT_EQ(log.count(QStringLiteral("RestPos")), 1);
}

TEST_F(PositioningTest, RestPosToADeletedRecordStaysPut) {
    ds->First();
    SavePos(*ds);
    ds->Delete();
    ds->Last();
    RestPos(*ds);
    EXPECT_EQ(event(), QStringLiteral("Fourth"));
    GotoPos(*ds, NoPos);
    EXPECT_EQ(event(), QStringLiteral("Fourth"));
    GotoPos(*ds, ids[1]);
    EXPECT_EQ(event(), QStringLiteral("Second"));
    GotoPos(*ds, AtEndPos);
    EXPECT_EQ(event(), QStringLiteral("Fourth"));
}

TEST_F(PositioningTest, DancePositionKeptAcrossAWalk) {
    addDance("Alpha", "Longways", "English");
    addDance("Beta", "Longways", "English");
    Dataset dances(db, "Dances");
    dances.setIndexName("FST");
    dances.open();
    dances.Last();
    SaveDancePos(dances);
    dances.First();
    RestDancePos(dances);
    EXPECT_EQ(dances.FieldByName("Title").AsString(), QStringLiteral("Beta"));
    dances.First();
    RestDancePos(dances); // nothing kept any more
    EXPECT_EQ(dances.FieldByName("Title").AsString(), QStringLiteral("Alpha"));
}
