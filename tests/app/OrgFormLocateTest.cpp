#include "core/dialogs/NFForm.h"
#include "DancePageFixture.h"
#include "core/views/ListForm.h"

#include <QTableView>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QLabel>
#include <QTableWidget>
#include "programme/rows/ItemRows.h"
#include "programme/rows/ProgrammeRows.h"
#include <QTest>
#include "platform/sqlite/DBNavigator.h"

namespace {

class LocateTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        addDance("Apple", "Longways", "English", {{"Rhythm", "Reel"}});
        addDance("Banana", "Longways", "English", {{"Rhythm", "Jig"}});
        addDance("Cherry", "Longways", "English", {{"Rhythm", "Hornpipe"}});
        addDance("Banana", "Longways", "Scottish", {{"Rhythm", "Reel"}});
        event = addEvent("Club", 46000, "Night",
                         Prog("*D|Apple|Longways|English*D|Ghost|Circle|Mixer§2*N|tea*D|GHOST|circle|mixer*"));
    }
    // The not-found dialog comes up: optionally tick "Do this for all",
    // then press the button.
    void whenNotFound(const char *button, bool forAll = false) {
        WhenModal([button, forAll](QWidget *w) {
            auto *f = qobject_cast<TNFForm *>(w);
            ASSERT_NE(f, nullptr) << "the not-found dialog did not come up";
            EXPECT_TRUE(f->ErrMsg->toPlainText().contains("Title:\tGhost\nFormat:\tCircle\nStyle:\tMixer"));
            if (forAll) QTest::mouseClick(f->DoAllBox, Qt::LeftButton);
            QTest::mouseClick(f->findChild<QPushButton *>(button), Qt::LeftButton);
        });
    }
    int dances() { return scalar("SELECT count(*) FROM Dances").toInt(); }
    // A record the index rebuild removes, and the FSRT index gone.
    void dropOrderIndex() {
        addDance("Broken ####", "Longways", "English");
        Database db;
        db.open(path("Quillary.mdb"));
        db.execRaw("DROP INDEX FSRT");
    }
    qint64 event = 0;
};

} // namespace

TEST_F(LocateTest, EachOrderFindsTheDanceInAnyCaseAndTheOrderBoxKeepsIt) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    const QStringList orders{"FST", "FTS", "FSRT", "TSF"};
    for (int entry : {2, 1, 3, 0}) {
        form->LocateDance("Cherry", "longways", "ENGLISH");
        form->DOrderBox->setCurrentIndex(entry);
        form->DOrderChange();
        EXPECT_EQ(DancesData.indexName(), orders[entry]);
        EXPECT_EQ(IniFile->ReadString("System", "DOrder", ""), orders[entry]);
        EXPECT_EQ(shownTitle(), QStringLiteral("Cherry")) << "the order box keeps the shown dance";
        // With FSRT the wanted Banana comes after Cherry (Hornpipe) in its Format and Style.
        form->LocateDance("banana", "Longways", "English");
        EXPECT_TRUE(SameDanceKey(shownKey(), {"Banana", "Longways", "English"})) << orders[entry].toStdString();
        form->LocateDance("Banana", "Longways", "SCOTTISH");
        EXPECT_TRUE(SameDanceKey(shownKey(), {"Banana", "Longways", "Scottish"})) << orders[entry].toStdString();
    }
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(LocateTest, ADanceTheFilterHidesAsksToRemoveTheFilter) {
    writeIni("DOrder=TSF\r\n");
    open();
    form->PC->setCurrentWidget(form->DancePage);
    form->LocateDance("Banana", "Longways", "Scottish");
    filterDances("Style", "Scottish");
    // The same title in another Style is shown, but it is not the dance asked for.
    answerer->script(ResultNo);
    EXPECT_THROW(form->LocateDance("Banana", "Longways", "English"), SilentAbort);
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Dance not available - remove filter?"));
    EXPECT_EQ(answerer->boxes[0].helpContext, 30420);
    EXPECT_TRUE(DancesData.Filtered());

    answerer->script(ResultYes);
    form->LocateDance("Banana", "Longways", "English");
    EXPECT_FALSE(DancesData.Filtered());
    EXPECT_TRUE(SameDanceKey(shownKey(), {"Banana", "Longways", "English"}));
}

TEST_F(LocateTest, ExitIsOnlyLogged) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    whenNotFound("CancelBtn");
    EXPECT_THROW(form->LocateDance("Ghost", "Circle", "Mixer"), EQuietError);
    EXPECT_TRUE(logText().contains("Dance not Found in Dances table:"));
    EXPECT_TRUE(logText().contains("Ghost\rHex: G 47  h 68  o 6F  s 73  t 74  "));
    EXPECT_TRUE(logText().contains("Cancel"));
    EXPECT_EQ(dances(), 4);
    EXPECT_EQ(programmeOf(event), Prog("*D|Apple|Longways|English*D|Ghost|Circle|Mixer§2*N|tea*D|GHOST|circle|mixer*"));
}

TEST_F(LocateTest, NoteConvertsEveryOccurrenceAndStoresTheEvent) {
    open();
    form->PC->setCurrentWidget(form->EventPage);
    whenNotFound("NoteBtn");
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_TRUE(MissingMet);
    EXPECT_EQ(programmeOf(event),
              Prog("*D|Apple|Longways|English*N|Ghost|Circle|Mixer (dance has been deleted)*N|tea*"
                   "N|GHOST|circle|mixer (dance has been deleted)*"));
    EXPECT_EQ(EventsData.State(), DatasetState::Browse);
    // A later miss of the same display passes silently and changes nothing.
    form->LocateDance("Nobody", "Circle", "Mixer");
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_EQ(dances(), 4);
}

TEST_F(LocateTest, DoThisForAllMakesLaterMissesSilent) {
    addEvent("Club", 46001, "Second", Prog("*D|Ghost|Circle|Mixer*D|Wraith|Circle|Mixer*"));
    open();
    form->PC->setCurrentWidget(form->DancePage);
    whenNotFound("NoteBtn", true);
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_TRUE(NotFoundForAll);
    EventsData.Last();
    // No dialog now: the watchdog would catch one.
    form->LocateDance("Wraith", "Circle", "Mixer");
    EXPECT_EQ(EventsData.FieldByName("Programme").AsString(),
              Prog("*D|Ghost|Circle|Mixer*N|Wraith|Circle|Mixer (dance has been deleted)*"));
}

TEST_F(LocateTest, GenerateMakesTheDanceWithoutARenameQuestion) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    form->LocateDance("Apple", "Longways", "English"); // a dance has been shown
    whenNotFound("GenBtn");
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_EQ(dances(), 5);
    EXPECT_EQ(scalar("SELECT Instructions FROM Dances WHERE Title='Ghost'").toString(), QStringLiteral("Generated Dance"));
    EXPECT_TRUE(SameDanceKey(shownKey(), {"Ghost", "Circle", "Mixer"}));
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_TRUE(programmeOf(event).contains("D|Ghost|Circle|Mixer§2"));
    EXPECT_TRUE(logText().contains("Generate"));
}

// ---- order box, Find Dance, navigator ---------------------------------------------

TEST_F(LocateTest, AMissingOrderIndexIsRebuilt) {
    dropOrderIndex();
    open();
    form->LocateDance("Cherry", "Longways", "English");
    form->DOrderBox->setCurrentIndex(2);
    form->DOrderChange();
    EXPECT_TRUE(answerer->sawText("Missing index FSRT on Dances table.  Recreating."));
    EXPECT_TRUE(Conn.hasIndex("FSRT"));
    EXPECT_EQ(DancesData.indexName(), QStringLiteral("FSRT"));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title LIKE '%####%'").toInt(), 0);
    EXPECT_EQ(shownTitle(), QStringLiteral("Cherry"));
}

TEST_F(LocateTest, ALockedFileDeletesNothingAndKeepsTheOrder) {
    dropOrderIndex();
    Database::BusyTimeoutMs = 50;
    open();
    form->LocateDance("Cherry", "Longways", "English");
    Database other;
    other.open(path("Quillary.mdb"));
    other.execRaw("BEGIN IMMEDIATE");
    form->DOrderBox->setCurrentIndex(2);
    EXPECT_THROW(form->DOrderChange(), DbError);
    other.execRaw("ROLLBACK");
    other.close();
    Database::BusyTimeoutMs = 5000;
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title LIKE '%####%'").toInt(), 1);
    EXPECT_FALSE(Conn.hasIndex("FSRT"));
    EXPECT_EQ(DancesData.indexName(), QStringLiteral("FST"));
    EXPECT_EQ(form->DOrderBox->currentIndex(), 0);
    EXPECT_EQ(IniFile->ReadString("System", "DOrder", ""), QStringLiteral("FST"));
    EXPECT_EQ(shownTitle(), QStringLiteral("Cherry"));
}

TEST_F(LocateTest, FindDanceChoosesFromTheListOrStartsANewDance) {
    open();
    WhenModal([](QWidget *w) {
        auto *chooser = qobject_cast<TListForm *>(w);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Select from 4 dances"));
        ASSERT_EQ(chooser->RowCount(), 4);
        // Title, then Style: the Scottish Banana comes after the English one.
        EXPECT_EQ(chooser->RowAt(2).cells[2], QStringLiteral("Scottish"));
        chooser->ListGrid->setCurrentIndex(chooser->ListGrid->model()->index(2, 0));
        chooser->GridClick(2);
        QTest::mouseClick(chooser->OKButton, Qt::LeftButton);
    });
    form->FindClick();
    EXPECT_TRUE(SameDanceKey(shownKey(), {"Banana", "Longways", "Scottish"}));
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
    EXPECT_TRUE(logText().contains("Find Dance"));

    WhenModal([](QWidget *w) { QTest::mouseClick(w->findChild<QPushButton *>("NewButton"), Qt::LeftButton); });
    form->FindClick();
    EXPECT_EQ(DancesData.State(), DatasetState::Insert);
    DancesData.Cancel();
}

TEST_F(LocateTest, TheNavigatorShowsTheDanceAndInsertTicksCallit) {
    open();
    form->PC->setCurrentWidget(form->EventPage);
    DancesData.Last();
    form->DNavClick(NavButton::Last);
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
    DancesData.Append();
    form->DNavClick(NavButton::Insert);
    EXPECT_TRUE(form->Callit->isChecked());
    EXPECT_EQ(DancesData.FieldByName("Callit").AsString(), QStringLiteral("Y"));
    EXPECT_TRUE(logText().contains("New Dance (from Nav)"));
    // Post goes through the dance's own save first.
    DancesData.FieldByName("Title").SetAsString("Damson");
    DancesData.FieldByName("Format").SetAsString("Square");
    DancesData.FieldByName("Style").SetAsString("American");
    form->DNavBefore(NavButton::Post);
    EXPECT_EQ(scalar("SELECT Callit FROM Dances WHERE Title='Damson'").toString(), QStringLiteral("Y"));
    // Stored, and in edit again for the navigator's own post that follows.
    EXPECT_EQ(DancesData.State(), DatasetState::Edit);
    DancesData.Post();
    EXPECT_EQ(DancesData.State(), DatasetState::Browse);
}

TEST_F(LocateTest, OnTheEventsPageTheMissingRowIsSelectedAndMarked) {
    open();
    form->PC->setCurrentWidget(form->EventPage);
    form->ProgText = EventsData.FieldByName("Programme").AsString();
    form->ShowProgText(false);
    ASSERT_GE(form->Rows->ItemList.size(), 2);
    auto *ghost = dynamic_cast<TDance *>(form->Rows->ItemList[1]);
    ASSERT_NE(ghost, nullptr);
    form->Rows->AnItem = ghost;
    whenNotFound("NoteBtn");
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_EQ(form->Rows->ThisItem, ghost);
    EXPECT_TRUE(ghost->Title->text().endsWith(": DELETED"));
    EXPECT_TRUE(MissingMet);
}
