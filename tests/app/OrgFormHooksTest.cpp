#include "DancePageFixture.h"
#include "PlainRead.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <sqlite3.h>

namespace {

class HooksTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        hole = addDance("Hole", "Longways", "Duple",
                        {{"Author", "Pat"}, {"Called", 2}, {"Instructions", "Generated Dance"}, {"Rhythm", "Jig"}});
        wall = addDance("Hole in the Wall", "Longways", "Duple",
                        {{"Author", "Cecil"}, {"Called", QVariant()}, {"Instructions", "{\\rtf1 real}"}});
        addDance("Other", "Circle", "Mixer");
        first = addEvent("Club", 46000, "One", Prog("*D|Hole|Longways|Duple§2*N|x*D|hole|LONGWAYS|duple*"));
        second = addEvent("Hall", 46010, "Two", Prog("*D|Other|Circle|Mixer*D|Hole|Longways|Duple*"));
    }
    // Shows the dance, then types a new title into its record.
    void retitle(const QString &from, const QString &to) {
        form->PC->setCurrentWidget(form->DancePage);
        form->LocateDance(from, "Longways", "Duple");
        DancesData.Edit();
        DancesData.FieldByName("Title").SetAsString(to);
    }
    int dances() { return scalar("SELECT count(*) FROM Dances").toInt(); }
    qint64 hole = 0, wall = 0, first = 0, second = 0;
};

} // namespace

// ---- renaming ----------------------------------------------------------------------

TEST_F(HooksTest, ARenameRewritesEveryEventEvenThoseTheFilterHides) {
    open();
    filterEvents("Org", "Hall");
    retitle("Hole", "Keyhole");
    answerer->script(ResultYes);
    DancesData.Post();
    EXPECT_EQ(answerer->boxes[0].text,
              QString::fromUtf8("OLD:  Hole · Longways · Duple\nNEW: Keyhole · Longways · Duple\nDid you really mean this change?"));
    EXPECT_EQ(programmeOf(first), Prog("*D|Keyhole|Longways|Duple§2*N|x*D|Keyhole|Longways|Duple*"));
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|Keyhole|Longways|Duple*"));
    EXPECT_TRUE(EventsData.Filtered());
    EXPECT_EQ(EventsData.FieldByName("Event").AsString(), QStringLiteral("Two"));
    EXPECT_EQ(OldTitle, QStringLiteral("Keyhole"));
}

TEST_F(HooksTest, RenamingOntoAnotherDanceMergesAndDeletesIt) {
    open();
    retitle("Hole", "Hole in the Wall");
    answerer->script(ResultYes); // the rename
    answerer->script(ResultNo);  // keep own Author
    DancesData.Post();
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_EQ(answerer->boxes[1].text,
              QStringLiteral("Hole in the Wall\nhas both old and new values for field: Author\nReplace\n[Pat]\nBy\n[Cecil] ?"));
    EXPECT_EQ(dances(), 2);
    EXPECT_EQ(scalar("SELECT rowid FROM Dances WHERE Title='Hole in the Wall'").toLongLong(), hole);
    EXPECT_EQ(scalar("SELECT Author || '/' || Called || '/' || Instructions || '/' || Rhythm FROM Dances WHERE rowid=?",
                     {hole})
                  .toString(),
              QStringLiteral("Pat/2/{\\rtf1 real}/Jig"));
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|Hole in the Wall|Longways|Duple*"));
    EXPECT_TRUE(SameDanceKey(shownKey(), {"Hole in the Wall", "Longways", "Duple"}));
}

TEST_F(HooksTest, TheMergedMusicSurvivesTheNavigatorsSecondPost) {
    insert("Dances", {{"Title", "Reel"}, {"Format", "Longways"}, {"Style", "Duple"}, {"Music", "Tune: Own"}});
    insert("Dances", {{"Title", "Reel Two"}, {"Format", "Longways"}, {"Style", "Duple"}, {"Music", "Tune: Other"}});
    open();
    retitle("Reel", "Reel Two");
    answerer->script(ResultYes); // the rename
    answerer->script(ResultYes); // take the other dance's music
    DancesData.Post();
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_TRUE(answerer->boxes[1].text.contains("field: Music"));
    // The navigator's Post button saves, edits again and posts once more.
    DancesData.Edit();
    DancesData.Post();
    EXPECT_EQ(scalar("SELECT Music FROM Dances WHERE Title='Reel Two'").toString(), QStringLiteral("Tune: Other"));
}

TEST_F(HooksTest, ACaseOnlyRenameRewritesProgrammesButMergesNothing) {
    open();
    retitle("Hole", "HOLE");
    answerer->script(ResultYes);
    DancesData.Post();
    EXPECT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(dances(), 3);
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|HOLE|Longways|Duple*"));
}

TEST_F(HooksTest, NoToTheRenameRestoresTheRecordAndTheOldKey) {
    open();
    retitle("Hole", "Keyhole");
    answerer->script(ResultNo);
    EXPECT_THROW(DancesData.Post(), SilentAbort);
    EXPECT_EQ(DancesData.State(), DatasetState::Browse);
    EXPECT_EQ(shownTitle(), QStringLiteral("Hole"));
    EXPECT_EQ(OldTitle, QStringLiteral("Hole"));
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|Hole|Longways|Duple*"));
}

TEST_F(HooksTest, APostThatFailsAfterTheMergeLeavesEverythingAsItWas) {
    insert("Dances", {{"Title", "Spare"}, {"Format", "x"}, {"Style", "y"}}); // opens the file once more
    {
        Database db;
        db.open(path("Quillary.mdb"));
        db.execRaw("CREATE TRIGGER refuse BEFORE UPDATE ON Dances WHEN new.Title = 'Hole in the Wall' "
                   "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    open();
    retitle("Hole", "Hole in the Wall");
    answerer->script(ResultYes); // the rename
    answerer->script(ResultNo);  // Author
    answerer->script(ResultOK);  // the post error
    EXPECT_THROW(DancesData.Post(), SilentAbort);
    EXPECT_TRUE(answerer->boxes.last().text.startsWith("Dances table:\n"));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE rowid=?", {wall}).toInt(), 1);
    EXPECT_EQ(programmeOf(first), Prog("*D|Hole|Longways|Duple§2*N|x*D|hole|LONGWAYS|duple*"));
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|Hole|Longways|Duple*"));
    EXPECT_EQ(DancesData.State(), DatasetState::Edit);
}

// ---- the checks before a dance is stored ----------------------------------------------

TEST_F(HooksTest, EmptyKeyFieldsAreRefused) {
    open();
    retitle("Hole", "");
    EXPECT_THROW(DancesData.Post(), SilentAbort);
    EXPECT_TRUE(answerer->sawText("Title, Format and Style must all be specified"));
    EXPECT_EQ(DancesData.State(), DatasetState::Edit);
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title='Hole'").toInt(), 1);
}

TEST_F(HooksTest, RemovingRecordedMusicIsAskedAndNoReloadsTheBox) {
    const QString music = Prog("Live tune*Dance Tunes*3*****tunes/a.mp3");
    insert("Dances", {{"Title", "Tuned"}, {"Format", "Circle"}, {"Style", "Mixer"}, {"Music", music}});
    open();
    form->LocateDance("Tuned", "Circle", "Mixer");
    form->ShowDance();
    EXPECT_EQ(form->Music->text(), QStringLiteral("Live tune"));
    form->Music->setText("New live tune"); // typed: the recordings would go
    EXPECT_EQ(MusicText, QStringLiteral("New live tune"));
    EXPECT_TRUE(DancesData.Modified());
    answerer->script(ResultNo);
    DancesData.Post();
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Did you mean to remove the \"recorded music\" data?"));
    EXPECT_EQ(DancesData.State(), DatasetState::Browse);
    EXPECT_EQ(scalar("SELECT Music FROM Dances WHERE Title='Tuned'").toString(), music);
    EXPECT_EQ(form->Music->text(), QStringLiteral("Live tune"));

    form->Music->setText("New live tune");
    answerer->script(ResultYes);
    DancesData.Post();
    EXPECT_EQ(scalar("SELECT Music FROM Dances WHERE Title='Tuned'").toString(), QStringLiteral("New live tune"));
    EXPECT_TRUE(PendingRecDets);
}

TEST_F(HooksTest, AnImportKeepsItsOwnValues) {
    open();
    form->LocateDance("Other", "Circle", "Mixer");
    form->ShowDance();
    form->Notes->setPlainText("typed notes");
    MusicText = "shown music";
    ImportWindowExists = true;
    DancesData.Last();
    DancesData.Append();
    DancesData.FieldByName("Title").SetAsString("Imported");
    DancesData.FieldByName("Format").SetAsString("Set");
    DancesData.FieldByName("Style").SetAsString("Welsh");
    DancesData.FieldByName("Music").SetAsString("its music");
    DancesData.Post();
    EXPECT_EQ(scalar("SELECT Music || '/' || Notes FROM Dances WHERE Title='Imported'").toString(),
              QStringLiteral("its music/"));
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

// ---- deleting a dance ----------------------------------------------------------------

TEST_F(HooksTest, DeletingADanceTurnsEveryItemIntoANoteByItsStoredKey) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    form->LocateDance("Hole", "Longways", "Duple");
    form->Title->setText("Edited but not posted");
    DancesData.Delete();
    EXPECT_EQ(programmeOf(first), Prog("*N|Hole|Longways|Duple (dance has been deleted)*N|x*"
                                       "N|hole|LONGWAYS|duple (dance has been deleted)*"));
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*N|Hole|Longways|Duple (dance has been deleted)*"));
    EXPECT_EQ(dances(), 2);
    EXPECT_TRUE(logText().contains("Delete"));
}

TEST_F(HooksTest, AFailedDeleteLeavesEveryProgramme) {
    {
        Database db;
        db.open(path("Quillary.mdb"));
        db.execRaw("CREATE TRIGGER refuse BEFORE DELETE ON Dances BEGIN SELECT RAISE(ABORT, 'locked'); END");
    }
    open();
    form->LocateDance("Hole", "Longways", "Duple");
    EXPECT_THROW(DancesData.Delete(), DbError);
    EXPECT_EQ(programmeOf(first), Prog("*D|Hole|Longways|Duple§2*N|x*D|hole|LONGWAYS|duple*"));
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|Hole|Longways|Duple*"));
    EXPECT_EQ(EventsData.FieldByName("Programme").AsString(), programmeOf(EventsData.GetBookmark()));
}

// ---- after a post ---------------------------------------------------------------------

TEST_F(HooksTest, APostThatLeavesTheFilterIsReported) {
    open();
    filterDances("Format", "Longways");
    form->LocateDance("Hole", "Longways", "Duple");
    DancesData.Edit();
    DancesData.FieldByName("Format").SetAsString("Square");
    answerer->script(ResultYes); // the key change
    answerer->script(ResultOK);
    DancesData.Post();
    EXPECT_EQ(answerer->boxes.last().text, QStringLiteral("Record may no longer match filter."));
    EXPECT_EQ(answerer->boxes.last().helpContext, 30410);
    EXPECT_TRUE(DancesData.Filtered());
    EXPECT_EQ(OldTitle, shownTitle());
}

TEST_F(HooksTest, ThePostOfTheLastMatchingRecordRemovesTheFilter) {
    open();
    filterDances("Format", "Circle");
    ASSERT_EQ(DancesData.VisibleCount(), 1);
    const qint64 other = DancesData.GetBookmark();
    DancesData.Edit();
    DancesData.FieldByName("Author").SetAsString("x");
    DancesData.FieldByName("Format").SetAsString("Square");
    answerer->script(ResultYes);
    answerer->script(ResultOK);
    DancesData.Post();
    EXPECT_EQ(answerer->boxes.last().text, QStringLiteral("No records now match the filter.  Filter removed."));
    EXPECT_FALSE(DancesData.Filtered());
    EXPECT_EQ(DancesData.GetBookmark(), other);
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage) << "the dance is shown again";
}

// ---- events ---------------------------------------------------------------------------

TEST_F(HooksTest, AnEventNeedsOrgEventAndDate) {
    open();
    struct Case {
        const char *field;
        QVariant value;
    };
    for (const Case &c : {Case{"Org", ""}, Case{"Event", ""}, Case{"EDate", QVariant()}, Case{"EDate", 0.0}}) {
        answerer->clear();
        EventsData.Edit();
        EventsData.FieldByName(c.field).SetValue(c.value);
        EXPECT_THROW(EventsData.Post(), SilentAbort) << c.field;
        EXPECT_TRUE(answerer->sawText("Org, Event and Date must be filled in.")) << c.field;
        EXPECT_EQ(EventsData.State(), DatasetState::Edit);
        EventsData.Cancel();
    }
}

TEST_F(HooksTest, AModifiedDateBoxSavesOnceWithTheNewDate) {
    open();
    int posts = 0;
    const auto after = EventsData.AfterPost;
    EventsData.AfterPost = [&](Dataset &d) {
        ++posts;
        after(d);
    };
    EventsData.Edit();
    EventsData.FieldByName("Venue").SetAsString("Barn");
    form->DateBox->setText("10-Mar-2026");
    form->DateBox->setModified(true);
    EventsData.Post();
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(EventsData.State(), DatasetState::Browse);
    EXPECT_EQ(scalar("SELECT EDate FROM Events WHERE rowid=?", {first}).toDouble(),
              double(QDate(1899, 12, 30).daysTo(QDate(2026, 3, 10))));
    EXPECT_EQ(scalar("SELECT Venue FROM Events WHERE rowid=?", {first}).toString(), QStringLiteral("Barn"));
    EXPECT_FALSE(form->DateBox->isModified());
    EXPECT_TRUE(logText().contains("Date modified"));
}

// ---- the notes link form ------------------------------------------------------------

TEST_F(HooksTest, WebLinksBecomeBareInTheStandardCatalogueOnly) {
    insert("Dances", {{"Title", "Linked"}, {"Format", "Circle"}, {"Style", "Reel"},
                      {"Notes", "See Link=\"http://x.org/a\""}});
    open();
    form->LocateDance("Linked", "Circle", "Reel");
    EXPECT_EQ(scalar("SELECT Notes FROM Dances WHERE Title='Linked'").toString(), QStringLiteral("See http://x.org/a"));

    Statement s(Conn.handle(), "UPDATE Dances SET Notes='See Link=\"http://y\"' WHERE Title='Linked'");
    s.step();
    s.finalize();
    Conn.tableChanged("Dances");
    SaveDancePos(DancesData);
    DancesData.First();
    form->LocateDance("Linked", "Circle", "Reel");
    EXPECT_EQ(scalar("SELECT Notes FROM Dances WHERE Title='Linked'").toString(), QStringLiteral("See Link=\"http://y\""))
        << "not while a Dances position is kept";
    ForgetDancePos();

    NonStandardDB = true;
    DancesData.First();
    form->LocateDance("Linked", "Circle", "Reel");
    EXPECT_EQ(scalar("SELECT Notes FROM Dances WHERE Title='Linked'").toString(), QStringLiteral("See Link=\"http://y\""))
        << "not in another catalogue";
}

// ---- the key a refused or cancelled post leaves behind ------------------------------

namespace {

class LeftKeyTest : public HooksTest {
protected:
    // Copies the shown dance as Copy Dance does and tries to store it under
    // its own key: the table refuses the second "Hole".
    void copyAndFailOnce() {
        form->PC->setCurrentWidget(form->DancePage);
        form->LocateDance("Hole", "Longways", "Duple");
        form->findChild<QAction *>("DupDance")->trigger();
        ASSERT_EQ(DancesData.State(), DatasetState::Insert);
        failPost();
    }
    void failPost() {
        answerer->script(ResultOK); // the table's refusal
        EXPECT_THROW(DancesData.Post(), SilentAbort);
        EXPECT_TRUE(answerer->boxes.last().text.startsWith("Dances table:\n"));
    }
    // The table refuses any dance stored under the title Keyhole.
    void refuseKeyhole() {
        Database db;
        db.open(path("Quillary.mdb"));
        db.execRaw("CREATE TRIGGER refuse BEFORE UPDATE ON Dances WHEN new.Title = 'Keyhole' "
                   "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    // Renames Hole to Keyhole, which the table refuses after the programmes
    // were rewritten: the rollback leaves them as they were.
    void failKeyholeRename() {
        retitle("Hole", "Keyhole");
        answerer->script(ResultYes); // the rename
        failPost();
        expectProgrammesUntouched();
    }
    void storeVariant() {
        DancesData.FieldByName("Title").SetAsString("Hole (variant)");
        answerer->clear();
        DancesData.Post(); // an unscripted rename question would fail the test
        EXPECT_TRUE(answerer->boxes.isEmpty());
        expectProgrammesUntouched();
        EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title IN ('Hole', 'Hole (variant)')").toInt(), 2);
        EXPECT_EQ(OldTitle, QStringLiteral("Hole (variant)"));
    }
    void expectProgrammesUntouched() {
        EXPECT_EQ(programmeOf(first), Prog("*D|Hole|Longways|Duple§2*N|x*D|hole|LONGWAYS|duple*"));
        EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|Hole|Longways|Duple*"));
    }
};

} // namespace

TEST_F(LeftKeyTest, ACopyRefusedOnceIsStoredUnderItsNewTitleRenamingNothing) {
    open();
    copyAndFailOnce();
    storeVariant();
}

TEST_F(LeftKeyTest, ACopyRefusedTwiceIsStoredUnderItsNewTitleRenamingNothing) {
    open();
    copyAndFailOnce();
    failPost();
    storeVariant();
}

TEST_F(LeftKeyTest, CancelAfterARefusedCopyRenamesTheOriginalByItsOwnKey) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    form->LocateDance("Hole", "Longways", "Duple");
    form->findChild<QAction *>("DupDance")->trigger();
    DancesData.FieldByName("Title").SetAsString("Hole in the Wall"); // another dance's key
    failPost();
    DancesData.Cancel();
    ASSERT_EQ(shownTitle(), QStringLiteral("Hole"));
    DancesData.Edit(); // typed straight into the original, which shows again
    DancesData.FieldByName("Title").SetAsString("Keyhole");
    answerer->clear();
    answerer->script(ResultYes);
    DancesData.Post();
    EXPECT_EQ(answerer->boxes[0].text,
              QString::fromUtf8("OLD:  Hole · Longways · Duple\nNEW: Keyhole · Longways · Duple\nDid you really mean this change?"));
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|Keyhole|Longways|Duple*"));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title='Hole in the Wall'").toInt(), 1);
}

TEST_F(LeftKeyTest, ARefusedRenameLeavesTheStoredKeyAndTheShownRows) {
    refuseKeyhole();
    open();
    const QString shown = form->ProgText;
    ASSERT_EQ(shown, programmeOf(first));
    failKeyholeRename();
    EXPECT_EQ(form->ProgText, shown) << "the Events page shows what is stored";
    // Cancelled and renamed otherwise: asked with the key as stored.
    DancesData.Cancel();
    DancesData.Edit();
    DancesData.FieldByName("Title").SetAsString("Pinhole");
    answerer->clear();
    answerer->script(ResultYes);
    DancesData.Post();
    EXPECT_TRUE(answerer->boxes[0].text.startsWith(QString::fromUtf8("OLD:  Hole · Longways · Duple\nNEW: Pinhole")));
    EXPECT_EQ(programmeOf(second), Prog("*D|Other|Circle|Mixer*D|Pinhole|Longways|Duple*"));
    EXPECT_EQ(form->ProgText, programmeOf(first)) << "the stored rename shows on the Events page";
}

// ---- inserting --------------------------------------------------------------------

// A copy starts with its table's filter off, so that it stays in sight when
// it is stored, as a new dance does.
TEST_F(HooksTest, CopiesStartWithTheFilterOff) {
    open();
    filterDances("Format", "Circle");
    form->findChild<QAction *>("DupDance")->trigger();
    EXPECT_EQ(DancesData.State(), DatasetState::Insert);
    EXPECT_FALSE(DancesData.Filtered());
    DancesData.FieldByName("Title").SetAsString("Other Again");
    DancesData.Post();
    EXPECT_EQ(shownTitle(), QStringLiteral("Other Again"));

    filterEvents("Org", "Hall");
    answerer->script(ResultNo);  // no counting, should the save ask
    answerer->script(ResultYes); // the whole programme
    form->DupEventClick();
    EXPECT_EQ(EventsData.State(), DatasetState::Insert);
    EXPECT_FALSE(EventsData.Filtered());
}

// Delete Dance asks first, naming the dance as it is shown; No keeps the
// dance, its instructions and every programme item.
TEST_F(HooksTest, DeleteDanceAsksFirst) {
    const qint64 tinker = addDance("Tinker, The", "Longways", "Duple", {{"Instructions", "{\\rtf1 steps}"}});
    const qint64 club = addEvent("Barn", 46020, "Three", Prog("*D|Tinker, The|Longways|Duple*"));
    open();
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        form->PC->setCurrentWidget(form->DancePage);
        form->LocateDance("Tinker, The", "Longways", "Duple");
        answerer->clear();
        answerer->script(yes ? ResultYes : ResultNo);
        form->findChild<QAction *>("DeleteDance")->trigger();
        ASSERT_FALSE(answerer->boxes.isEmpty());
        EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Delete dance The Tinker?"));
        EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE rowid=?", {tinker}).toInt(), yes ? 0 : 1);
        EXPECT_EQ(programmeOf(club), yes ? Prog("*N|Tinker, The|Longways|Duple (dance has been deleted)*")
                                         : Prog("*D|Tinker, The|Longways|Duple*"));
    }
}

// The shown event's edits are stored inside a rename; the refused rename
// gives them back as edits, and the next move stores them.
TEST_F(LeftKeyTest, EventEditsStoredWithARefusedRenameAreKept) {
    refuseKeyhole();
    open();
    form->ShowEvent(true);
    form->Rows->SelectItem(form->Rows->ItemList[0]);
    form->findChild<QAction *>("InsI")->trigger();
    EventsData.FieldByName("Venue").SetAsString("Barn");
    const QString edited = form->ProgText;
    ASSERT_NE(edited, programmeOf(first));
    failKeyholeRename();
    EXPECT_TRUE(EventChanged);
    EXPECT_TRUE(EventsData.Modified());
    DancesData.Cancel();
    EventsData.Next();
    EXPECT_EQ(programmeOf(first), edited);
    EXPECT_EQ(scalar("SELECT Venue FROM Events WHERE rowid=?", {first}).toString(), QStringLiteral("Barn"));
}

// A dance's write that the database refuses after the shown event's unsaved
// edits went in with it (the table refuses the write, or another program's
// lock refuses the commit): whether the event was new, edited, or edited
// out of the Events filter, it is still being edited with what was typed,
// on the page the user stayed on, and the next save stores it.
TEST_F(LeftKeyTest, AnUnsavedEventStoredWithARefusedDanceWriteIsKept) {
    enum class Write { Rename, Delete };
    enum class Shown { New, Edited, EditedOutOfFilter };
    struct Case {
        const char *name;
        Write write;
        Shown shown;
        bool locked;
    };
    const Case cases[] = {
        {"a new event, a refused rename", Write::Rename, Shown::New, false},
        {"a new event, a refused delete", Write::Delete, Shown::New, false},
        {"an edited event, a refused delete", Write::Delete, Shown::Edited, false},
        {"an event edited out of the filter, a refused rename", Write::Rename, Shown::EditedOutOfFilter, false},
        {"an event edited out of the filter, a refused delete", Write::Delete, Shown::EditedOutOfFilter, false},
        {"a new event, a rename whose commit a lock refuses", Write::Rename, Shown::New, true},
        {"an edited event, a delete whose commit a lock refuses", Write::Delete, Shown::Edited, true},
    };
    const int busy = Database::BusyTimeoutMs;
    const QString typed = Prog("*D|Hole|Longways|Duple*N|tea at nine*");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (c.locked) {
            Database::BusyTimeoutMs = 30;
        } else {
            refuseKeyhole();
            Database db;
            db.open(path("Quillary.mdb"));
            db.execRaw("CREATE TRIGGER keep BEFORE DELETE ON Dances WHEN old.Title = 'Hole' "
                       "BEGIN SELECT RAISE(ABORT, 'locked'); END");
        }
        open();
        if (c.shown == Shown::EditedOutOfFilter) filterEvents("Org", "Club");
        if (c.shown == Shown::New) {
            form->NewEventClick();
            EventsData.FieldByName("Event").SetAsString("Ceilidh");
            EventsData.FieldByName("EDate").SetAsDateTime(50000);
        } else {
            form->ShowEvent(true);
        }
        // Typed into the box and not yet written to the record.
        form->Org->selectAll();
        QTest::keyClicks(form->Org, c.shown == Shown::Edited ? "" : "Barn");
        if (c.shown == Shown::Edited) QTest::keyClicks(form->Venue, "Barn");
        form->ProgText = typed;
        form->ShowEvent(false);
        form->EventsChange();
        const qint64 edited = c.shown == Shown::New ? 0 : EventsData.GetBookmark();
        const auto rows = form->Rows->ItemList.size();

        form->PC->setCurrentWidget(form->DancePage);
        form->LocateDance("Hole", "Longways", "Duple");
        answerer->clear();
        answerer->script(ResultYes); // the rename, or the delete
        if (c.shown == Shown::EditedOutOfFilter) answerer->script(ResultOK); // the event left the filter
        // Another program reads the file meanwhile, holding its lock.
        sqlite3 *reader = nullptr;
        if (c.locked) {
            ASSERT_EQ(sqlite3_open(path("Quillary.mdb").toUtf8().constData(), &reader), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM Dances", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        if (c.write == Write::Rename) {
            DancesData.Edit();
            DancesData.FieldByName("Title").SetAsString("Keyhole");
            answerer->script(ResultOK); // the refusal
            EXPECT_THROW(DancesData.Post(), SilentAbort);
            EXPECT_TRUE(answerer->boxes.last().text.startsWith("Dances table:\n"));
            EXPECT_EQ(DancesData.State(), DatasetState::Edit);
            EXPECT_EQ(shownTitle(), QStringLiteral("Keyhole")) << "the dance is still being edited as typed";
            DancesData.Cancel();
        } else {
            EXPECT_THROW(form->DeleteDanceClick(), DbError);
        }
        if (reader) {
            sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(reader);
        }
        Database::BusyTimeoutMs = busy;
        EXPECT_EQ(answerer->pending(), 0);
        expectProgrammesUntouched();
        EXPECT_EQ(scalar("SELECT count(*) FROM Events").toInt(), 2) << "nothing of the event is stored";

        EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
        EXPECT_EQ(EventsData.State(), c.shown == Shown::New ? DatasetState::Insert : DatasetState::Edit);
        if (edited) {
            EXPECT_EQ(EventsData.GetBookmark(), edited);
        }
        EXPECT_TRUE(EventChanged);
        EXPECT_EQ(form->ProgText, typed);
        EXPECT_EQ(form->Rows->ItemList.size(), rows);
        EXPECT_EQ(form->Org->text(), c.shown == Shown::Edited ? QStringLiteral("Club") : QStringLiteral("Barn"));

        EventsData.CheckBrowseMode(); // the next save
        const qint64 row = edited ? edited : scalar("SELECT max(rowid) FROM Events").toLongLong();
        const QString file = path("Quillary.mdb");
        EXPECT_EQ(PlainRead(file, "SELECT Programme FROM Events WHERE rowid=?", row), typed);
        EXPECT_EQ(PlainRead(file, "SELECT Org FROM Events WHERE rowid=?", row),
                  c.shown == Shown::Edited ? QStringLiteral("Club") : QStringLiteral("Barn"));
        const char *other = c.shown == Shown::New ? "SELECT Event FROM Events WHERE rowid=?"
                                                  : "SELECT Venue FROM Events WHERE rowid=?";
        EXPECT_EQ(PlainRead(file, other, row), c.shown == Shown::New      ? QStringLiteral("Ceilidh")
                                               : c.shown == Shown::Edited ? QStringLiteral("Barn")
                                                                          : QString());
    }
}

// A refused delete leaves the shown event's rows as stored: its dance
// items stay dances, not notes of a deleted dance.
TEST_F(LeftKeyTest, ARefusedDeleteShowsTheProgrammeAsStored) {
    {
        Database db;
        db.open(path("Quillary.mdb"));
        db.execRaw("CREATE TRIGGER keep BEFORE DELETE ON Dances WHEN old.Title = 'Hole' "
                   "BEGIN SELECT RAISE(ABORT, 'locked'); END");
    }
    open();
    form->ShowEvent(true);
    const QString shown = form->ProgText;
    ASSERT_EQ(shown, programmeOf(first));
    form->PC->setCurrentWidget(form->DancePage);
    form->LocateDance("Hole", "Longways", "Duple");
    answerer->script(ResultYes);
    EXPECT_THROW(form->DeleteDanceClick(), DbError);
    EXPECT_EQ(form->ProgText, shown);
    EXPECT_EQ(programmeOf(first), shown);
    EXPECT_EQ(EventsData.State(), DatasetState::Browse);
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
}
