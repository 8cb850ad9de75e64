#include "base/Messages.h"
#include "DbFixture.h"
#include "platform/sqlite/Dataset.h"

#include <sqlite3.h>

namespace {

// The before-post and before-delete hooks write to Events; those writes
// must share the fate of the record's own write.
class DatasetTransactionTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        addDance("Apple", "Longways", "English");
        addDance("Banana", "Longways", "English");
        event = addEvent("Club", 46000, "Night", {{"Programme", "old"}});
        db.execRaw("CREATE TRIGGER refuse BEFORE DELETE ON Dances WHEN old.Title = 'Banana' "
                   "BEGIN SELECT RAISE(ABORT, 'locked'); END");
        ds = std::make_unique<Dataset>(db, "Dances");
        ds->setIndexName("TSF");
        ds->open();
        ds->BeforePost = [this](Dataset &) { writeEvent(); };
        ds->BeforeDelete = [this](Dataset &) { writeEvent(); };
    }
    void TearDown() override {
        ds.reset();
        DbTest::TearDown();
    }
    void writeEvent() {
        Statement s(db.handle(), "UPDATE Events SET Programme='new' WHERE rowid=?");
        s.bind(1, event);
        s.step();
    }
    QString programme() { return scalar("SELECT Programme FROM Events WHERE rowid=?", {event}).toString(); }
    void editTitle(const QString &t) {
        ds->Edit();
        ds->FieldByName("Title").SetAsString(t);
    }

    qint64 event = 0;
    std::unique_ptr<Dataset> ds;
};

} // namespace

TEST_F(DatasetTransactionTest, APostCommitsTheHookWritesBeforeAfterPost) {
    int depth = -1;
    ds->AfterPost = [&](Dataset &) { depth = db.batchDepth(); };
    editTitle("Cherry");
    ds->Post();
    EXPECT_EQ(programme(), QStringLiteral("new"));
    EXPECT_EQ(depth, 0);
}

TEST_F(DatasetTransactionTest, AFailedAbortedOrCancelledPostUndoesTheHookWrites) {
    editTitle("banana"); // a duplicate key
    EXPECT_THROW(ds->Post(), DbError);
    EXPECT_EQ(programme(), QStringLiteral("old"));
    EXPECT_EQ(ds->State(), DatasetState::Edit);

    ds->BeforePost = [this](Dataset &) {
        writeEvent();
        throw SilentAbort();
    };
    editTitle("Cherry");
    EXPECT_THROW(ds->Post(), SilentAbort);
    EXPECT_EQ(programme(), QStringLiteral("old"));
    EXPECT_EQ(ds->State(), DatasetState::Edit);

    ds->BeforePost = [this](Dataset &d) {
        writeEvent();
        d.Cancel();
    };
    ds->Post();
    EXPECT_EQ(programme(), QStringLiteral("old"));
    EXPECT_EQ(ds->State(), DatasetState::Browse);
    EXPECT_EQ(db.batchDepth(), 0);
}

// Told once the rollback is done, and only for a post that failed.
TEST_F(DatasetTransactionTest, AFailedPostIsToldAfterItsRollback) {
    QStringList seen;
    ds->AfterPostFailed = [&](Dataset &) { seen.append(programme() + "/" + QString::number(db.batchDepth())); };
    editTitle("banana"); // a duplicate key
    EXPECT_THROW(ds->Post(), DbError);
    EXPECT_EQ(seen, QStringList{"old/0"});
    editTitle("Cherry");
    ds->Post();
    EXPECT_EQ(seen.size(), 1);
}

TEST_F(DatasetTransactionTest, ANestedPostInTheHookKeepsItsWrites) {
    ds->BeforePost = [this](Dataset &d) {
        writeEvent();
        d.Post();
    };
    editTitle("Cherry");
    ds->Post();
    EXPECT_EQ(programme(), QStringLiteral("new"));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title='Cherry'").toInt(), 1);
}

// Told once the rollback is done, and only for a delete that failed.
TEST_F(DatasetTransactionTest, AFailedDeleteUndoesTheHookWrites) {
    QStringList seen;
    ds->AfterDeleteFailed = [&](Dataset &) { seen.append(programme() + "/" + QString::number(db.batchDepth())); };
    ASSERT_TRUE(ds->Seek({"Banana"}, SeekMode::FirstEq));
    EXPECT_THROW(ds->Delete(), DbError);
    EXPECT_EQ(seen, QStringList{"old/0"});
    EXPECT_EQ(programme(), QStringLiteral("old"));
    EXPECT_EQ(ds->VisibleCount(), 2);
    EXPECT_EQ(ds->FieldByName("Title").AsString(), QStringLiteral("Banana"));
    ASSERT_TRUE(ds->Seek({"Apple"}, SeekMode::FirstEq));
    ds->Delete();
    EXPECT_EQ(programme(), QStringLiteral("new"));
    EXPECT_EQ(ds->VisibleCount(), 1);
    EXPECT_EQ(seen.size(), 1);
}

// Another program reading the file holds its lock past the busy time, so
// the commit is refused after the record was written: the record is still
// being edited as typed (a new one still new), the refusal goes to the post
// error hook, nothing is left half done, and the next post stores it.
TEST_F(DatasetTransactionTest, ARefusedCommitKeepsTheRecordAsTyped) {
    const int busy = Database::BusyTimeoutMs;
    Database::BusyTimeoutMs = 30;
    db.close();
    db.open(dbPath);
    for (const bool inserting : {false, true}) {
        SCOPED_TRACE(inserting ? "a new record" : "an edited record");
        ds = std::make_unique<Dataset>(db, "Dances");
        ds->setIndexName("TSF");
        ds->open();
        QStringList told;
        ds->AfterPostFailed = [&](Dataset &) { told.append("failed"); };
        ds->AfterScroll = [&](Dataset &d) { told.append("shown " + d.FieldByName("Title").AsString()); };
        ds->OnPostError = [&](Dataset &, const DbError &e, PostErrorAction &action) {
            told.append("error " + e.text());
            action = PostErrorAction::Abort;
        };
        ds->First();
        if (inserting) {
            ds->Insert();
            ds->FieldByName("Format").SetAsString("Longways");
            ds->FieldByName("Style").SetAsString("English");
        } else {
            ds->Edit();
        }
        ds->FieldByName("Title").SetAsString(inserting ? "Damson" : "Cherry");
        sqlite3 *other = nullptr;
        ASSERT_EQ(sqlite3_open(dbPath.toUtf8().constData(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN; SELECT count(*) FROM Dances", nullptr, nullptr, nullptr), SQLITE_OK);
        told.clear();
        EXPECT_THROW(ds->Post(), SilentAbort);
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);

        EXPECT_NE(sqlite3_get_autocommit(db.handle()), 0) << "no transaction is left open";
        EXPECT_EQ(ds->State(), inserting ? DatasetState::Insert : DatasetState::Edit);
        EXPECT_TRUE(ds->Modified());
        EXPECT_EQ(ds->FieldByName("Title").AsString(), inserting ? QStringLiteral("Damson") : QStringLiteral("Cherry"));
        ASSERT_EQ(told.size(), inserting ? 4 : 2) << told.join(" / ").toStdString();
        EXPECT_EQ(told.last(), QStringLiteral("error database is locked"));
        EXPECT_EQ(told[told.size() - 2], QStringLiteral("failed"));
        if (inserting) {
            EXPECT_EQ(told[1], QStringLiteral("shown Damson")) << "the new record shows again";
        }
        const QVariantList typed{inserting ? "Damson" : "Cherry"};
        EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title=?", typed).toInt(), 0);

        ds->Post();
        EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title=?", typed).toInt(), 1);
        EXPECT_EQ(ds->FieldByName("Title").AsString(), inserting ? QStringLiteral("Damson") : QStringLiteral("Cherry"));
    }
    Database::BusyTimeoutMs = busy;
}
