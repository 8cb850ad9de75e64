#include "base/Cp1252.h"
#include "base/Messages.h"
#include "DbFixture.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DatasetModel.h"
#include "platform/sqlite/Query.h"

#include <functional>

namespace {

class DancesTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        // Mixed case on purpose: every order folds case, accents included.
        ids["cherry"] = addDance("cherry", "Circle", "american", {{"Rhythm", "Reel"}});
        ids["apple"] = addDance("apple", "Longways", "English", {{"Rhythm", "Reel"}});
        ids["Banana"] = addDance("Banana", "longways", "English", {{"Rhythm", "jig"}, {"Called", 4}});
        ids["éclair"] = addDance("éclair", "Longways", "english", {{"Rhythm", "Jig"}});
        ids["Zebra"] = addDance("Zebra", "LONGWAYS", "Scottish", {{"Rhythm", "Strathspey"}});
        ids["Apple"] = addDance("Apple", "Square", "English", {{"Rhythm", "Reel"}});
        ds = std::make_unique<Dataset>(db, "Dances");
        ds->setIndexName("FST");
        ds->open();
    }
    void TearDown() override {
        ds.reset();
        DbTest::TearDown();
    }
    QStringList titles() {
        QStringList out;
        for (qint64 b : ds->VisibleBookmarks())
            out.append(scalar("SELECT Title FROM Dances WHERE rowid=?", {b}).toString());
        return out;
    }
    QString title() { return ds->FieldByName("Title").AsString(); }
    void go(const char *t) { ds->GotoBookmark(ids[t]); }

    QMap<QString, qint64> ids;
    std::unique_ptr<Dataset> ds;
};

struct Recorder : DatasetObserver {
    QStringList *log;
    explicit Recorder(QStringList *l) : log(l) {}
    void datasetChanged(Dataset &, DatasetChange c) override {
        log->append(c == DatasetChange::Data ? "data" : c == DatasetChange::Record ? "record" : "scroll");
    }
};

bool styleIsEnglish(Dataset &d) { return SameText(d.FieldByName("Style").AsString(), "English"); }

} // namespace

TEST_F(DancesTest, EachIndexOrdersByFoldedKeys) {
    struct Case {
        const char *index;
        QStringList order;
    };
    const QList<Case> cases = {
        {"FST", {"cherry", "apple", "Banana", "éclair", "Zebra", "Apple"}},
        {"FTS", {"cherry", "apple", "Banana", "Zebra", "éclair", "Apple"}},
        {"FSRT", {"cherry", "Banana", "éclair", "apple", "Zebra", "Apple"}},
        {"TSF", {"apple", "Apple", "Banana", "cherry", "Zebra", "éclair"}},
    };
    for (const Case &c : cases) {
        ds->setIndexName(c.index);
        EXPECT_EQ(titles(), c.order) << c.index;
        ds->close();
        ds->open();
        EXPECT_EQ(titles(), c.order) << c.index << " reopened";
    }
    EXPECT_THROW(ds->setIndexName("Nothing"), DbError);
    EXPECT_EQ(ds->indexName(), QStringLiteral("TSF"));
}

TEST_F(DancesTest, SeekModesOnFullAndPartialKeys) {
    struct Case {
        const char *name;
        QVariantList key;
        SeekMode mode;
        const char *found; // nullptr: not found
    };
    const QList<Case> cases = {
        {"first equal, partial", {"longways", "ENGLISH"}, SeekMode::FirstEq, "apple"},
        {"last equal, partial", {"longways", "english"}, SeekMode::LastEq, "éclair"},
        {"after or equal", {"Longways", "English", "b"}, SeekMode::AfterEq, "Banana"},
        {"after", {"Longways", "English", "banana"}, SeekMode::After, "éclair"},
        {"before or equal", {"Longways", "English", "c"}, SeekMode::BeforeEq, "Banana"},
        {"before", {"Longways", "English", "BANANA"}, SeekMode::Before, "apple"},
        {"full key, accent folded", {"LONGWAYS", "english", "ÉCLAIR"}, SeekMode::FirstEq, "éclair"},
        {"missing key", {"Longways", "Irish"}, SeekMode::FirstEq, nullptr},
        {"nothing after", {"Zz"}, SeekMode::AfterEq, nullptr},
        {"before the first", {"Circle"}, SeekMode::Before, nullptr},
    };
    for (const Case &c : cases) {
        go("Zebra");
        const bool ok = ds->Seek(c.key, c.mode);
        EXPECT_EQ(ok, c.found != nullptr) << c.name;
        EXPECT_EQ(title(), c.found ? QString::fromUtf8(c.found) : QStringLiteral("Zebra")) << c.name;
    }
    // A match that the filter hides is not found.
    ds->OnFilterRecord = [](Dataset &d) { return d.FieldByName("Title").AsString() != "Banana"; };
    ds->SetFiltered(true);
    go("apple");
    EXPECT_FALSE(ds->Seek({"Longways", "English", "Banana"}, SeekMode::FirstEq));
    EXPECT_EQ(title(), QStringLiteral("apple"));
}

TEST_F(DancesTest, BookmarksSurviveRequeryAndReopenButNotDeletion) {
    go("Banana");
    const Dataset::Bookmark b = ds->GetBookmark();
    ds->First();
    ds->requery();
    ds->GotoBookmark(b);
    EXPECT_EQ(title(), QStringLiteral("Banana"));
    ds->close();
    ds->open();
    ds->GotoBookmark(b);
    EXPECT_EQ(title(), QStringLiteral("Banana"));
    ds->setIndexName("TSF");
    EXPECT_EQ(title(), QStringLiteral("Banana")) << "switching the index keeps the record";
    EXPECT_EQ(ds->RecordIndex(), 2);
    db.execRaw("DELETE FROM Dances WHERE Title = 'Banana'");
    ds->requery();
    EXPECT_FALSE(ds->BookmarkValid(b));
    EXPECT_THROW(ds->GotoBookmark(b), DbError);
}

TEST_F(DancesTest, PostingAChangedKeyResorts) {
    go("apple");
    ds->Edit();
    ds->FieldByName("Title").SetAsString("Zulu");
    ds->Post();
    // "É" folds to a letter after "Z".
    EXPECT_EQ(titles(), (QStringList{"cherry", "Banana", "Zulu", "éclair", "Zebra", "Apple"}));
    EXPECT_EQ(title(), QStringLiteral("Zulu"));
    EXPECT_EQ(ds->RecordIndex(), 2);
    ds->Insert();
    ds->FieldByName("Title").SetAsString("Cake");
    ds->FieldByName("Format").SetAsString("LONGWAYS");
    ds->FieldByName("Style").SetAsString("English");
    ds->Post();
    EXPECT_EQ(titles(), (QStringList{"cherry", "Banana", "Cake", "Zulu", "éclair", "Zebra", "Apple"}));
    EXPECT_EQ(title(), QStringLiteral("Cake"));
    const QStringList kept = titles();
    ds->requery();
    EXPECT_EQ(titles(), kept) << "the placed order is the database's order";
}

TEST_F(DancesTest, APostedRowTheFilterHidesGivesWay) {
    ds->OnFilterRecord = styleIsEnglish;
    ds->SetFiltered(true);
    EXPECT_EQ(titles(), (QStringList{"apple", "Banana", "éclair", "Apple"}));
    EXPECT_EQ(ds->RecordCount(), 6);
    EXPECT_EQ(ds->VisibleCount(), 4);
    go("Banana");
    ds->Edit();
    ds->FieldByName("Style").SetAsString("Irish");
    ds->Post();
    EXPECT_EQ(title(), QStringLiteral("éclair")) << "the next shown row";
    go("Apple");
    ds->Edit();
    ds->FieldByName("Style").SetAsString("Irish");
    ds->Post();
    EXPECT_EQ(title(), QStringLiteral("éclair")) << "the last shown row gives way to the previous one";
    ds->SetFiltered(false);
    EXPECT_EQ(ds->VisibleCount(), 6);
}

TEST_F(DancesTest, InsertCancelAndDelete) {
    go("Banana");
    ds->Insert();
    EXPECT_EQ(ds->State(), DatasetState::Insert);
    EXPECT_EQ(title(), QString());
    EXPECT_TRUE(ds->FieldByName("Called").IsNull());
    ds->Cancel();
    EXPECT_EQ(title(), QStringLiteral("Banana"));
    ds->Delete();
    EXPECT_EQ(title(), QStringLiteral("éclair"));
    ds->Last();
    ds->Delete();
    EXPECT_EQ(title(), QStringLiteral("Zebra"));
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances").toInt(), 4);
}

TEST_F(DancesTest, AssignmentsMarkModifiedAndConvertOrThrow) {
    go("Banana");
    EXPECT_THROW(ds->FieldByName("Title").SetAsString("x"), DbError) << "browse state";
    ds->Edit();
    EXPECT_FALSE(ds->Modified());
    ds->FieldByName("Title").SetAsString(title());
    EXPECT_TRUE(ds->Modified()) << "an equal value still counts";
    EXPECT_THROW(ds->FieldByName("Lvl").SetAsString("three"), DbError);
    EXPECT_THROW(ds->FieldByName("Lvl").SetAsString("70000"), DbError);
    ds->FieldByName("Lvl").SetAsString(" 3 ");
    EXPECT_EQ(ds->FieldByName("Lvl").AsInteger(), 3);
    ds->FieldByName("Called").SetAsString("");
    EXPECT_TRUE(ds->FieldByName("Called").IsNull());
    ds->Post();
    EXPECT_EQ(scalar("SELECT quote(Called) || Lvl FROM Dances WHERE Title='Banana'").toString(), QStringLiteral("NULL3"));

    Dataset events(db, "Events");
    events.setIndexName("EDate");
    events.open();
    events.Insert();
    EXPECT_THROW(events.FieldByName("EDate").SetAsString("31-Feb-26"), DbError);
    events.FieldByName("EDate").SetAsString("Sun 6-Dec-26");
    EXPECT_EQ(events.FieldByName("EDate").AsDateTime(), 46362);
    EXPECT_EQ(events.FieldByName("EDate").AsString(), QStringLiteral("Sun 6-Dec-26"));
    events.Cancel();
}

TEST_F(DancesTest, RefusedPostsStayInEdit) {
    go("Banana");
    ds->Edit();
    ds->FieldByName("KeySig").SetAsString(QString(21, 'G'));
    QString reported;
    ds->OnPostError = [&](Dataset &, const DbError &e, PostErrorAction &action) {
        reported = e.text();
        action = PostErrorAction::Abort;
    };
    EXPECT_THROW(ds->Post(), SilentAbort);
    EXPECT_TRUE(reported.contains("KeySig")) << reported.toStdString();
    EXPECT_EQ(ds->State(), DatasetState::Edit);
    ds->FieldByName("KeySig").SetAsString("G");
    ds->FieldByName("Title").SetAsString("APPLE");
    ds->OnPostError = nullptr;
    try {
        ds->Post();
        FAIL() << "duplicate key posted";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains("create duplicate values"));
    }
    EXPECT_EQ(ds->State(), DatasetState::Edit);
    ds->Cancel();
    EXPECT_EQ(title(), QStringLiteral("Banana"));
}

TEST_F(DancesTest, HooksAndObserversInOrder) {
    QStringList log;
    Recorder rec(&log);
    ds->addObserver(&rec);
    ds->AfterScroll = [&](Dataset &) { log.append("after-scroll"); };
    ds->BeforePost = [&](Dataset &d) {
        log.append("before-post " + d.FieldByName("Notes").AsString());
        d.Post(); // one nested post writes at once
    };
    ds->AfterPost = [&](Dataset &) { log.append("after-post"); };
    struct Editor : DatasetObserver {
        void datasetChanged(Dataset &, DatasetChange) override {}
        void writePending(Dataset &d) override {
            if (d.State() == DatasetState::Edit) d.FieldByName("Notes").SetAsString("typed");
        }
    } editor;
    ds->addObserver(&editor);

    ds->Next();
    EXPECT_EQ(log, (QStringList{"scroll", "after-scroll"}));
    log.clear();
    ds->Post();
    EXPECT_TRUE(log.isEmpty()) << "post in browse does nothing";
    ds->Edit();
    log.clear();
    ds->Post();
    EXPECT_EQ(log, (QStringList{"record", "before-post typed", "data", "after-post"}));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Notes='typed'").toInt(), 1);
    ds->removeObserver(&editor);

    log.clear();
    ds->DisableControls();
    ds->DisableControls();
    ds->Next();
    ds->EnableControls();
    EXPECT_TRUE(ds->ControlsDisabled());
    EXPECT_EQ(log, (QStringList{"after-scroll"})) << "after-scroll fires while controls are disabled";
    ds->EnableControls();
    EXPECT_FALSE(ds->ControlsDisabled());
    EXPECT_EQ(log, (QStringList{"after-scroll", "data"}));
    ds->removeObserver(&rec);
}

// Before-scroll runs once, on the record being left, for every way another
// record may come, and never for a move that stays; it can store the record
// being left, and a throw stops the move.
TEST_F(DancesTest, BeforeScrollRunsOnTheRecordBeingLeft) {
    const struct {
        const char *name;
        const char *start;
        std::function<void(Dataset &)> move;
        bool runs;
    } cases[] = {
        {"Next", "apple", [](Dataset &d) { d.Next(); }, true},
        {"Prior at the first", "cherry", [](Dataset &d) { d.Prior(); }, false},
        {"MoveBy 0", "apple", [](Dataset &d) { d.MoveBy(0); }, false},
        {"First", "apple", [](Dataset &d) { d.First(); }, true},
        {"First at the first", "cherry", [](Dataset &d) { d.First(); }, false},
        {"Last", "apple", [](Dataset &d) { d.Last(); }, true},
        {"Last at the last", "Apple", [](Dataset &d) { d.Last(); }, false},
        {"a bookmark", "apple", [this](Dataset &d) { d.GotoBookmark(ids["Zebra"]); }, true},
        {"its own bookmark", "apple", [this](Dataset &d) { d.GotoBookmark(ids["apple"]); }, false},
        {"a seek", "apple", [](Dataset &d) { d.Seek({"Square"}, SeekMode::FirstEq); }, true},
        {"a seek that fails", "apple", [](Dataset &d) { d.Seek({"Triangle"}, SeekMode::FirstEq); }, false},
        {"an insert", "apple", [](Dataset &d) { d.Insert(); d.Cancel(); }, true},
        {"the filter on", "apple", [](Dataset &d) { d.SetFiltered(true); }, true},
        {"a requery", "apple", [](Dataset &d) { d.requery(); }, true},
    };
    ds->OnFilterRecord = styleIsEnglish;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        go(c.start);
        QStringList left;
        ds->BeforeScroll = [&](Dataset &d) { left.append(d.FieldByName("Title").AsString()); };
        c.move(*ds);
        ds->BeforeScroll = nullptr;
        ds->SetFiltered(false);
        EXPECT_EQ(left, c.runs ? QStringList{c.start} : QStringList{});
    }
    // The record being left is stored by the hook; the move then goes on.
    go("apple");
    ds->BeforeScroll = [](Dataset &d) {
        d.Edit();
        d.FieldByName("Notes").SetAsString("left");
        d.Post();
    };
    ds->Next();
    EXPECT_EQ(title(), "Banana");
    EXPECT_EQ(scalar("SELECT Notes FROM Dances WHERE rowid=?", {ids["apple"]}).toString(), "left");
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Notes='left'").toInt(), 1);
    // A hook that throws keeps the record.
    ds->BeforeScroll = [](Dataset &) { throw DbError("no"); };
    EXPECT_THROW(ds->Last(), DbError);
    EXPECT_EQ(title(), "Banana");
    ds->BeforeScroll = nullptr;
}

TEST_F(DancesTest, BulkSqlAndRollbackKeepTheDatasetInStep) {
    go("Banana");
    Query q(db);
    q.setText("Delete from Dances where Title = \"Banana\" or Title = \"cherry\"");
    EXPECT_EQ(q.exec(), 2);
    EXPECT_EQ(title(), QStringLiteral("éclair")) << "the deleted record gives way to the next";
    EXPECT_EQ(ds->VisibleCount(), 4);
    q.setText("Update Dances Set Called = 9 where Title = 'éclair'");
    q.exec();
    EXPECT_EQ(ds->FieldByName("Called").AsInteger(), 9) << "the record is read again";

    // A walk that fails half-way leaves nothing behind.
    try {
        Batch b(db);
        ds->First();
        int n = 0;
        while (!ds->Eof()) {
            ds->Edit();
            ds->FieldByName("Called").SetAsInteger(100);
            ds->Post();
            if (++n == 2) throw std::runtime_error("stop");
            ds->Next();
        }
        b.commit();
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Called = 100").toInt(), 0);
    EXPECT_NE(ds->FieldByName("Called").AsInteger(), 100);
    {
        Batch b(db);
        ds->Insert();
        ds->FieldByName("Title").SetAsString("Gone");
        ds->FieldByName("Format").SetAsString("x");
        ds->FieldByName("Style").SetAsString("y");
        ds->Post();
        EXPECT_EQ(ds->VisibleCount(), 5);
    }
    EXPECT_EQ(ds->VisibleCount(), 4) << "a rolled-back insert leaves the dataset";
    EXPECT_NE(title(), QStringLiteral("Gone"));
}

TEST_F(DancesTest, FilterHookReadsCandidatesAndAThrowSwitchesItOff) {
    int calls = 0;
    ds->FilterColumns = QStringList{"Called", "Title"};
    ds->OnFilterRecord = [&](Dataset &d) {
        ++calls;
        // A column outside FilterColumns is still read correctly.
        return d.FieldByName("Called").AsInteger() > 3 || d.FieldByName("Rhythm").AsString() == "Strathspey";
    };
    ds->SetFiltered(true);
    EXPECT_EQ(calls, 6);
    EXPECT_EQ(titles(), (QStringList{"Banana", "Zebra"}));
    ds->OnFilterRecord = [](Dataset &) -> bool { throw std::runtime_error("bad value"); };
    ds->Refilter();
    EXPECT_FALSE(ds->Filtered());
    EXPECT_EQ(ds->VisibleCount(), 6);
}

TEST_F(DbTest, EmptyTableReadsEmptyAndEditInserts) {
    Dataset ds(db, "Dances");
    ds.setIndexName("FST");
    ds.open();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.FieldByName("Title").AsString(), QString());
    EXPECT_EQ(ds.GetBookmark(), 0);
    EXPECT_THROW(ds.Delete(), DbError);
    ds.Edit();
    EXPECT_EQ(ds.State(), DatasetState::Insert);
    ds.Cancel();
    EXPECT_THROW(ds.FieldByName("Nothing"), DbError);
    ds.close();
    EXPECT_THROW(ds.FieldByName("Title").AsString(), DbError);
}

TEST_F(DancesTest, ModelShowsTheVisibleRows) {
    db.execRaw("UPDATE Dances SET Notes = 'line one' || char(13) || 'line two' WHERE Title = 'Banana'");
    ds->requery();
    DatasetModel model(*ds);
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(model.data(model.index(2, 0)).toString(), QStringLiteral("Banana"));
    EXPECT_EQ(model.data(model.index(2, 18)).toString(), QStringLiteral("line one"));
    EXPECT_EQ(model.data(model.index(2, 12)).toString(), QStringLiteral("4"));
    int current = -2;
    QObject::connect(&model, &DatasetModel::currentRowChanged, [&](int r) { current = r; });
    ds->Last();
    EXPECT_EQ(current, 5);
    ds->OnFilterRecord = styleIsEnglish;
    ds->SetFiltered(true);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.data(model.index(3, 0)).toString(), QStringLiteral("Apple"));
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(DbTest, SeekFindsRowsWithoutADate) {
    addEvent("Undated", QVariant().toDouble(), "Someday");
    db.execRaw("UPDATE Events SET EDate = NULL");
    addEvent("Hall", 46362.8125, "Dance");
    addEvent("Barn", 46300, "Dance");
    Dataset events(db, "Events");
    events.setIndexName("EDate");
    events.open();
    auto org = [&] { return events.FieldByName("Org").AsString(); };
    EXPECT_EQ(org(), QStringLiteral("Undated")) << "a Null date sorts first";
    ASSERT_TRUE(events.Seek({46362}, SeekMode::AfterEq));
    EXPECT_EQ(org(), QStringLiteral("Hall"));
    ASSERT_TRUE(events.Seek({46000}, SeekMode::BeforeEq));
    EXPECT_EQ(org(), QStringLiteral("Undated"));
    ASSERT_TRUE(events.Seek({46362}, SeekMode::Before));
    EXPECT_EQ(org(), QStringLiteral("Barn"));
    ASSERT_TRUE(events.Seek({"46300"}, SeekMode::FirstEq)) << "a number given as text";
    EXPECT_EQ(org(), QStringLiteral("Barn"));
    ASSERT_TRUE(events.Seek({QVariant()}, SeekMode::FirstEq));
    EXPECT_EQ(org(), QStringLiteral("Undated"));
    EXPECT_FALSE(events.Seek({46400}, SeekMode::AfterEq));
}
